" quillbridge.vim: looks the word under the cursor up in the KV Quillbridge
" window. Copy it to ~/.vim/plugin/ (Neovim: ~/.config/nvim/plugin/).
"
"   :Quillbridge          the word under the cursor ("e-mail", "-ism", "õun")
"   :Quillbridge WORD     WORD
"   nnoremap <Leader>q :Quillbridge<CR>
"
" The program gets the word as one argument after "--", started directly,
" never through a shell, so no word can be taken for an option or a command.
" A window that is open already looks the word up in place of a new one.
" A text goes trimmed of white space at both ends; a text with white space
" inside goes as its first word, as `quillbridge --selection` takes it.

scriptencoding utf-8

if exists('g:loaded_quillbridge')
  finish
endif
let g:loaded_quillbridge = 1

if !exists('g:quillbridge_program')
  let g:quillbridge_program = 'quillbridge'
endif

function! s:WordUnderCursor() abort
  " Hyphens and apostrophes belong to the word here, as they do in a dictionary.
  let l:iskeyword = &l:iskeyword
  try
    setlocal iskeyword+=-,39
    return expand('<cword>')
  finally
    let &l:iskeyword = l:iskeyword
  endtry
endfunction

function! s:FirstWord(text) abort
  let l:text = trim(a:text)
  if l:text !~# '[[:space:]]'
    return l:text
  endif
  " Letters and digits, with the hyphens and apostrophes inside the word.
  let l:iskeyword = &l:iskeyword
  try
    setlocal iskeyword=@,48-57,192-255
    return matchstr(l:text, '\k\+\%([-''’‐‑]\+\k\+\)*')
  finally
    let &l:iskeyword = l:iskeyword
  endtry
endfunction

function! s:LookUp(text) abort
  let l:word = s:FirstWord(a:text)
  if l:word ==# ''
    echohl WarningMsg | echo 'Quillbridge: no word under the cursor' | echohl None
    return
  endif
  " The program reads its arguments as UTF-8.
  let l:word = &encoding ==# 'utf-8' ? l:word : iconv(l:word, &encoding, 'utf-8')
  let l:command = [g:quillbridge_program, '--', l:word]
  if has('nvim')
    call jobstart(l:command, {'detach': v:true})
  elseif has('job')
    " The window stays open when Vim ends.
    call job_start(l:command, {'in_io': 'null', 'out_io': 'null', 'err_io': 'null',
          \ 'stoponexit': ''})
  else
    echoerr 'Quillbridge: this Vim cannot start a program without a shell (it lacks +job)'
  endif
endfunction

command! -nargs=? Quillbridge call s:LookUp(<q-args> ==# '' ? s:WordUnderCursor() : <q-args>)
