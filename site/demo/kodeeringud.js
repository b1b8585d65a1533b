// The parameter encodings of the lookup window, for the demo programs:
// a text becomes bytes in the encoding, and every byte that is not an ASCII
// letter or digit is written as "%" and two upper-case hexadecimal digits.
'use strict';

// Bytes 0x80 to 0xFF of the two code pages, in order; U+FFFD where a byte
// means nothing. Below 0x80 both are ASCII.
const CODE_PAGE_HIGH = {
  baltic: "\u20ac\ufffd\u201a\ufffd\u201e\u2026\u2020\u2021\ufffd\u2030\ufffd\u2039\ufffd\u00a8\u02c7\u00b8\ufffd\u2018\u2019\u201c\u201d\u2022\u2013\u2014\ufffd\u2122\ufffd\u203a\ufffd\u00af\u02db\ufffd\u00a0\ufffd\u00a2\u00a3\u00a4\ufffd\u00a6\u00a7\u00d8\u00a9\u0156\u00ab\u00ac\u00ad\u00ae\u00c6\u00b0\u00b1\u00b2\u00b3\u00b4\u00b5\u00b6\u00b7\u00f8\u00b9\u0157\u00bb\u00bc\u00bd\u00be\u00e6\u0104\u012e\u0100\u0106\u00c4\u00c5\u0118\u0112\u010c\u00c9\u0179\u0116\u0122\u0136\u012a\u013b\u0160\u0143\u0145\u00d3\u014c\u00d5\u00d6\u00d7\u0172\u0141\u015a\u016a\u00dc\u017b\u017d\u00df\u0105\u012f\u0101\u0107\u00e4\u00e5\u0119\u0113\u010d\u00e9\u017a\u0117\u0123\u0137\u012b\u013c\u0161\u0144\u0146\u00f3\u014d\u00f5\u00f6\u00f7\u0173\u0142\u015b\u016b\u00fc\u017c\u017e\u02d9",
  western: "\u20ac\ufffd\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\ufffd\u017d\ufffd\ufffd\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\ufffd\u017e\u0178\u00a0\u00a1\u00a2\u00a3\u00a4\u00a5\u00a6\u00a7\u00a8\u00a9\u00aa\u00ab\u00ac\u00ad\u00ae\u00af\u00b0\u00b1\u00b2\u00b3\u00b4\u00b5\u00b6\u00b7\u00b8\u00b9\u00ba\u00bb\u00bc\u00bd\u00be\u00bf\u00c0\u00c1\u00c2\u00c3\u00c4\u00c5\u00c6\u00c7\u00c8\u00c9\u00ca\u00cb\u00cc\u00cd\u00ce\u00cf\u00d0\u00d1\u00d2\u00d3\u00d4\u00d5\u00d6\u00d7\u00d8\u00d9\u00da\u00db\u00dc\u00dd\u00de\u00df\u00e0\u00e1\u00e2\u00e3\u00e4\u00e5\u00e6\u00e7\u00e8\u00e9\u00ea\u00eb\u00ec\u00ed\u00ee\u00ef\u00f0\u00f1\u00f2\u00f3\u00f4\u00f5\u00f6\u00f7\u00f8\u00f9\u00fa\u00fb\u00fc\u00fd\u00fe\u00ff",
};

const ENCODINGS = { utf8: 'utf-8', baltic: 'windows-1257', western: 'windows-1252' };

function isKnownEncoding(name) {
  return Object.prototype.hasOwnProperty.call(ENCODINGS, name);
}

// The bytes of text in the named encoding; a character the code page lacks
// becomes "?", as in the lookup window.
function encodeText(text, name) {
  if (name === 'utf8')
    return Array.from(new TextEncoder().encode(text));
  const high = CODE_PAGE_HIGH[name];
  const bytes = [];
  for (const ch of text) {
    const code = ch.codePointAt(0);
    const index = ch === '\ufffd' ? -1 : high.indexOf(ch);
    bytes.push(code < 0x80 ? code : index >= 0 ? 0x80 + index : 0x3f);
  }
  return bytes;
}

function escapeParameter(text, name) {
  let out = '';
  for (const b of encodeText(text, name)) {
    const c = String.fromCharCode(b);
    out += /[A-Za-z0-9]/.test(c) ? c : '%' + b.toString(16).toUpperCase().padStart(2, '0');
  }
  return out;
}

// The bytes of an escaped parameter: "%XX" is one byte, any other character
// stands for itself.
function unescapeBytes(escaped) {
  const bytes = [];
  for (let i = 0; i < escaped.length; ++i) {
    const hex = escaped.substr(i + 1, 2);
    if (escaped[i] === '%' && /^[0-9A-Fa-f]{2}$/.test(hex)) {
      bytes.push(parseInt(hex, 16));
      i += 2;
    } else {
      bytes.push(escaped.charCodeAt(i) & 0xff);
    }
  }
  return new Uint8Array(bytes);
}

function decodeParameter(escaped, name) {
  return new TextDecoder(ENCODINGS[name]).decode(unescapeBytes(escaped));
}

// The escaped value of one parameter of this page's own address ("" if absent).
function ownParameter(key) {
  for (const pair of location.search.replace(/^\?/, '').split('&')) {
    const eq = pair.indexOf('=');
    if (eq >= 0 && pair.substring(0, eq) === key)
      return pair.substring(eq + 1);
  }
  return '';
}

if (typeof module !== 'undefined')
  module.exports = { escapeParameter, decodeParameter };
