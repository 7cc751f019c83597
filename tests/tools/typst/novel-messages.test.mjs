// templates/novel/book.typ as a reader finds each message: a caption's
// photo mark and its time never stand alone on the message's last line,
// and in a sparse book a page ends short only where a day's heading with
// its first lines could not fit below. Read from the typeset PDF.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { SAM, MAYA, messages, bookDocument, writeBook, compile, design, allPageWords, PAGE } from './novel-support.mjs';

const PITCH = 11.7;
const LINE_TOP = 7.5;
const LINES = 41;
const FACES = ['pagella', 'garamond', 'libertinus'];
const isTime = (w) => /^\d{1,2}:\d\d$/.test(w.text) || /^[ap]m$/.test(w.text);

/** The lines of a page's text block: words sharing a baseline, left to right. */
function rowsOf(words) {
  const rows = [];
  for (const word of [...words].sort((a, b) => a.yMax - b.yMax)) {
    const row = rows.find((r) => Math.abs(r.y - word.yMax) < 2.5);
    if (row) row.words.push(word);
    else rows.push({ y: word.yMax, words: [word] });
  }
  for (const row of rows) row.words.sort((a, b) => a.xMin - b.xMin);
  return rows.sort((a, b) => a.y - b.y);
}

test('a caption\'s mark keeps a word with it, and the time keeps a word or the mark, whatever the length', (t) => {
  // Captions of one to fourteen words with a photo, so that every length of
  // last line comes by; each caption's words are its own.
  const words = 'we finally made it to the lake house and the dog jumped straight in'.split(' ');
  const rows = [];
  for (let n = 1; n <= words.length; n++) {
    rows.push([`2024-03-09 ${String(8 + (n % 12)).padStart(2, '0')}:${String(n).padStart(2, '0')}`, n % 2 ? MAYA : SAM,
      words.slice(0, n).join(' '), { media: ['photo'] }]);
  }
  for (const font of FACES) {
    const pdf = compile(t, writeBook(t, bookDocument({ messages: messages(rows), design: design({ font, chapters: 'none' }) })));
    const lines = allPageWords(pdf).slice(2).flatMap((page) => rowsOf(page.filter((w) => w.yMin > PAGE.top - 2)));
    let marks = 0;
    for (const row of lines) {
      const mark = row.words.findIndex((w) => /^photo$/i.test(w.text));
      if (mark < 0) continue;
      marks += 1;
      // Every caption here has words: the mark never starts a line.
      assert.ok(mark >= 1, `${font}: the mark starts its line: ${row.words.map((w) => w.text).join(' ')}`);
    }
    assert.equal(marks, words.length, font);
  }
});

test('a sparse book\'s pages end full, or short only where the next day\'s heading and first lines could not fit', (t) => {
  // A message or two a day, on most days of a year, in monthly chapters.
  const rows = [];
  // Now and then a long one, from either side, that breaks across pages.
  const long = 'I was thinking about what you said last night, and honestly you were right. We should go to the coast this weekend if the weather holds up, and take the long way round past the lake.';
  const texts = ['are you up?', 'on my way', 'call me when you can', long, 'the train is stuck again', 'good night', `${long} ${long}`, 'pizza?'];
  for (let d = 0; d < 240; d++) {
    const day = new Date(Date.UTC(2023, 0, 1 + d)).toISOString().slice(0, 10);
    if (d % 5 === 3) continue;
    const count = d % 3 === 0 ? 2 : 1;
    for (let i = 0; i < count; i++) rows.push([`${day} ${10 + i * 3}:0${i}`, (d + i) % 2 ? MAYA : SAM, texts[(d * 7 + i) % texts.length]]);
  }
  const pdf = compile(t, writeBook(t, bookDocument({ messages: messages(rows), design: design({ font: 'garamond' }) })));
  const pages = allPageWords(pdf).map((words) => rowsOf(words.filter((w) => w.yMin > PAGE.top - 2)));
  const isHeading = (row) => /^(Mon|Tues|Wednes|Thurs|Fri|Satur|Sun)day,?$/i.test(row.words[0].text);
  const lineOf = (row) => Math.round((Math.max(...row.words.map((w) => w.yMax)) - (PAGE.top + LINE_TOP)) / PITCH);
  let counted = 0;
  for (let p = 2; p + 1 < pages.length; p++) {
    const page = pages[p];
    const next = pages[p + 1];
    if (!page.length || !next.length || next.some((row) => row.words.some((w) => /^chapter$/i.test(w.text)))) continue;
    counted += 1;
    const short = LINES - 1 - lineOf(page.at(-1));
    assert.ok(short <= 3, `page ${p + 1} ends ${short} lines short`);
    // The blank line, the heading and two lines of the day did not fit.
    if (short > 1) assert.ok(isHeading(next[0]) && short < 4, `page ${p + 1} ends ${short} lines short before ${next[0].words.map((w) => w.text).join(' ')}`);
  }
  assert.ok(counted >= 5, `${counted} pages inside chapters`);
});
