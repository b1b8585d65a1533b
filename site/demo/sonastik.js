// A demo dictionary program: the word is the escaped rest of the page's own
// address after "?w=", in the encoding the page's catalogue entry declares.
'use strict';

function showDictionary(dictionary) {
  const escaped = ownParameter('w');
  const word = decodeParameter(escaped, dictionary.encoding).trim();
  const key = word.toLocaleLowerCase('et');
  const answer = Object.prototype.hasOwnProperty.call(dictionary.words, key)
    ? dictionary.words[key] : null;
  const main = document.getElementById('answer');
  const line = (tag, text, cls) => {
    const el = document.createElement(tag);
    el.textContent = text;
    if (cls)
      el.className = cls;
    main.appendChild(el);
  };
  if (!word) {
    document.title = dictionary.name;
    line('p', 'Sõna puudub. See leht on sõnastikuprogramm: sõna lisatakse aadressi lõppu, ' +
         'näiteks …?w=kass.');
  } else if (answer !== null) {
    document.title = key + ' – ' + dictionary.name;
    line('h1', key);
    line('p', answer, 'answer');
  } else {
    document.title = 'Ei leitud – ' + dictionary.name;
    line('h1', word);
    line('p', 'Sõna „' + word + '“ ei ole selle sõnastiku nimekirjas.', 'missing');
    line('p', 'Proovige näiteks: ' + Object.keys(dictionary.words).slice(0, 8).join(', ') + '.');
  }
  line('p', dictionary.name + ' · kodeering ' + dictionary.encoding + ' (' +
       ENCODINGS[dictionary.encoding] + ') · saadud: ' + (escaped || '—'), 'note');
}
