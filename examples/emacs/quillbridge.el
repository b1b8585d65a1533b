;;; quillbridge.el --- Look the word at point up in KV Quillbridge  -*- lexical-binding: t; coding: utf-8 -*-

;;; Commentary:

;; M-x quillbridge-at-point looks the word at point (or the active region) up
;; in the KV Quillbridge window; with a prefix argument it asks for the word.
;; A window that is open already looks the word up in place of a new one.
;;
;;   (add-to-list 'load-path "/path/to/this/folder")
;;   (require 'quillbridge)
;;   (global-set-key (kbd "C-c q") #'quillbridge-at-point)
;;
;; The program gets the word as one argument after "--", started directly,
;; never through a shell, so no word can be taken for an option or a command.
;; A text goes trimmed of white space at both ends; a text with white space
;; inside goes as its first word, as `quillbridge --selection' takes it.

;;; Code:

(require 'thingatpt)

(defgroup quillbridge nil
  "Looking words up in the KV Quillbridge window."
  :group 'applications)

(defcustom quillbridge-program "quillbridge"
  "The quillbridge program."
  :type 'string)

(defun quillbridge--first-word (text)
  "TEXT trimmed of white space at both ends, or its first word.
With white space inside, the first run of letters and digits, with the
hyphens and apostrophes inside it."
  (let ((trimmed (replace-regexp-in-string
                  "\\`[[:space:]\n\r\t\f]+\\|[[:space:]\n\r\t\f]+\\'" "" text)))
    (cond ((not (string-match-p "[[:space:]\n\r\t\f]" trimmed)) trimmed)
          ((string-match "[[:alnum:]]+\\(?:['’‐‑-]+[[:alnum:]]+\\)*" trimmed)
           (match-string 0 trimmed))
          (t ""))))

(defun quillbridge--word-at-point ()
  "The word at point, or the text of the active region."
  (if (use-region-p)
      (buffer-substring-no-properties (region-beginning) (region-end))
    (let ((table (make-syntax-table (syntax-table))))
      ;; Hyphens and apostrophes belong to the word, as they do in a dictionary.
      (dolist (char '(?- ?' ?’))
        (modify-syntax-entry char "w" table))
      (with-syntax-table table
        (thing-at-point 'word t)))))

;;;###autoload
(defun quillbridge-at-point (word)
  "Look WORD up in the KV Quillbridge window.
Interactively, WORD is the word at point or the active region's text;
with a prefix argument, or when there is none, it is read."
  (interactive
   (list (let ((at-point (and (not current-prefix-arg) (quillbridge--word-at-point))))
           (if (and at-point (> (length (quillbridge--first-word at-point)) 0))
               at-point
             (read-string "Sõna: ")))))
  (let ((word (quillbridge--first-word word))
        ;; The program reads its arguments as UTF-8, whatever the locale; it
        ;; is not waited for, and its output goes nowhere.
        (coding-system-for-write 'utf-8-unix))
    (if (equal word "")
        (message "Quillbridge: no word")
      (call-process quillbridge-program nil 0 nil "--" word))))

(provide 'quillbridge)

;;; quillbridge.el ends here
