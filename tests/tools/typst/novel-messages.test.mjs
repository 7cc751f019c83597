// templates/novel/book.typ as a reader finds each message: every line of
// the typeset PDF (pdftotext -bbox) aligned with the message it
// prints, so that each side's first lines and turnover lines, and each
// message's last line, can be measured; and in a sparse book a page ends
// short only where a day's heading and its first lines could not fit.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import {
  SAM, MAYA, messages, bookDocument, writeBook, compile, design, bodyRows, textEdges, PAGE, PITCH, LINE_TOP, FACES,
} from './novel-support.mjs';

const LINES = 41;
const isTime = (w) => /^\d{1,2}:\d\d$/.test(w.text) || /^[ap]m$/.test(w.text);
const isHeading = (row) => /^(Mon|Tues|Wednes|Thurs|Fri|Satur|Sun)day,?$/i.test(row.words[0].text);
const isChapter = (word) => /^chapter$/i.test(word.text);

/**
 * Each message's lines, in order: the text of the messages run together
 * (lower case, without spaces) is walked word by word along the PDF's
 * lines; a word that does not go on with it is furniture (a name, a time,
 * a mark). A line belongs to the message of its first word of text, and
 * is its first line when it holds the message's first letter. Lines of
 * headings are left out.
 */
function linesByMessage(pdf, rows) {
  const squeeze = (text) => text.toLowerCase().replace(/\s+/g, '');
  const starts = [];
  let stream = '';
  for (const m of rows) {
    starts.push(stream.length);
    stream += squeeze(m.text ?? '');
  }
  const owner = (at) => starts.findLastIndex((start) => start <= at);
  const found = rows.map(() => []);
  let at = 0;
  bodyRows(pdf).forEach((page, p) => {
    for (const row of page) {
      if (isHeading(row)) continue;
      let message = -1;
      let first = false;
      for (const w of row.words) {
        const piece = squeeze(w.text);
        if (!piece || !stream.startsWith(piece, at)) continue;
        const of = owner(at);
        assert.ok(message < 0 || message === of, `one line holds two messages: ${row.words.map((x) => x.text).join(' ')}`);
        message = of;
        first ||= at === starts[of];
        at += piece.length;
      }
      if (message >= 0) found[message].push({ ...row, page: p + 1, first, x: row.words[0].xMin - textEdges(p + 1).left });
    }
  });
  assert.equal(at, stream.length, 'every message\'s text found in the PDF, in order');
  return found;
}

const said = [
  'I was thinking about what you said last night and honestly you were right about all of it',
  'we should go to the coast this weekend if the weather holds up and take the long way round past the lake',
  'ok', 'see you at six', 'bring the blue jacket', 'yes', 'the landlord finally fixed the heating so the flat is warm for the first time in weeks and I can feel my toes again',
  'did you call your mum back', 'she sounded worried when I saw her at the shop this morning', 'noooo',
];

test('each side starts every message at one edge and its turnover lines at another; the next message shows where it begins; a last line is never a mark or a word alone', (t) => {
  // Runs from each side, short and long, a minute apart, with a caption now
  // and then; no message without words, so that every line has its owner.
  const rows = [];
  for (let i = 0; i < 60; i++) {
    const who = Math.floor(i / 3) % 2 ? MAYA : SAM;
    const at = `2024-03-${String(4 + Math.floor(i / 20)).padStart(2, '0')} ${String(9 + (i % 20) / 2 | 0).padStart(2, '0')}:${String((i * 7) % 60).padStart(2, '0')}`;
    rows.push([at, who, said[(i * 3) % said.length], i % 7 === 5 ? { media: ['photo'] } : undefined]);
  }
  // Captions of one to fourteen words with a photo, so that every length
  // of last line comes by.
  const caption = 'we finally made it to the lake house and the dog jumped straight in'.split(' ');
  caption.forEach((_, n) => rows.push([`2024-03-07 ${String(8 + n).padStart(2, '0')}:30`, n % 2 ? MAYA : SAM,
    caption.slice(0, n + 1).join(' '), { media: ['photo'] }]));
  const book = messages(rows);
  for (const font of FACES) {
    const pdf = compile(t, writeBook(t, bookDocument({ messages: book, design: design({ font, chapters: 'none' }) })));
    const lines = linesByMessage(pdf, book);
    for (const mine of [true, false]) {
      const side = lines.filter((_, i) => (book[i].from === SAM.id) === mine);
      const firsts = side.flatMap((ls) => ls.filter((l) => l.first).map((l) => l.x));
      const turnovers = side.flatMap((ls) => ls.filter((l) => !l.first).map((l) => l.x));
      const where = `${font}, ${mine ? 'mine' : 'theirs'}`;
      assert.ok(firsts.length >= 20 && turnovers.length >= 10, `${where}: ${firsts.length} first lines, ${turnovers.length} turnover lines`);
      const edge = (xs, what) => {
        const [least, most] = [Math.min(...xs), Math.max(...xs)];
        assert.ok(most - least < 0.5, `${where}: ${what} start anywhere from ${least.toFixed(1)} to ${most.toFixed(1)}`);
        return least;
      };
      const first = edge(firsts, 'first lines');
      const turnover = edge(turnovers, 'turnover lines');
      if (mine) assert.ok(Math.abs(first) < 0.5, `${where}: first lines at ${first}, not the left margin`);
      else assert.ok(first > 30, `${where}: first lines at ${first}, not at an indent on the right`);
      assert.ok(turnover - first > 5, `${where}: turnover lines only ${(turnover - first).toFixed(1)} pt in from the first`);
    }
    // Where one message ends and the next begins shows: by where its first
    // line starts, or by a gap above it.
    for (let i = 0; i + 1 < lines.length; i++) {
      const last = lines[i].at(-1);
      const next = lines[i + 1][0];
      if (last.first || last.page !== next.page) continue;
      const apart = Math.abs(next.x - last.x) > 3 || next.y - last.y > 1.3 * PITCH;
      assert.ok(apart, `${font}: message ${i + 2} runs on from message ${i + 1}: ${next.words.map((w) => w.text).join(' ')}`);
    }
    // The last line of a message that turns over holds more than one word
    // beside its time, or a word and a mark.
    lines.forEach((ls, i) => {
      if (ls.length < 2) return;
      const words = ls.at(-1).words.filter((w) => !isTime(w));
      assert.ok(words.length >= 2, `${font}: message ${i + 1} ends on "${ls.at(-1).words.map((w) => w.text).join(' ')}"`);
      if (/^photo$/i.test(words[0].text)) assert.fail(`${font}: message ${i + 1}'s mark starts its last line`);
    });
  }
});

test('a sparse book\'s pages end full but where a chapter ends, however its days fall', (t) => {
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
  const pages = bodyRows(pdf);
  const lineOf = (row) => Math.round((Math.max(...row.words.map((w) => w.yMax)) - (PAGE.top + LINE_TOP)) / PITCH);
  let counted = 0;
  let chapterEnds = 0;
  for (let p = 2; p + 1 < pages.length; p++) {
    const page = pages[p];
    const next = pages[p + 1];
    if (!page.length || !next.length) continue;
    if (next.some((row) => row.words.some(isChapter))) {
      // A chapter's last page ends short, its days a blank line apart as
      // everywhere: it shares nothing out.
      const base = page[0].words[0].yMax;
      for (const row of page) {
        const lines = (row.words[0].yMax - base) / PITCH;
        assert.ok(Math.abs(lines - Math.round(lines)) < 0.03, `page ${p + 1}, the last of its chapter: "${row.words.map((w) => w.text).join(' ')}" is off the grid`);
      }
      chapterEnds += 1;
      continue;
    }
    counted += 1;
    const short = LINES - 1 - lineOf(page.at(-1));
    // The days above share what a page spares, so even where the next day's
    // blank line, heading and two lines could not fit, the page ends full.
    assert.ok(short <= 0, `page ${p + 1} ends ${short} lines short before ${next[0].words.map((w) => w.text).join(' ')}`);
  }
  assert.ok(counted >= 5, `${counted} pages inside chapters`);
  assert.ok(chapterEnds >= 3, `${chapterEnds} chapters' last pages`);
  // Every chapter opens alike: its first day's heading as far under the
  // opening, whatever the page shares out below it.
  const sinks = pages.filter((page) => page.some((row) => isChapter(row.words[0]))).map((page) => {
    const chapter = page.findIndex((row) => isChapter(row.words[0]));
    const heading = page.findIndex((row, i) => i > chapter && isHeading(row));
    return (page[heading].words[0].yMin - page[chapter].words[0].yMin) / PITCH;
  });
  assert.ok(sinks.length >= 3, `${sinks.length} chapters`);
  assert.ok(Math.max(...sinks) - Math.min(...sinks) < 0.03, `the first headings lie ${sinks.map((n) => n.toFixed(2)).join(', ')} lines under their chapters' openings`);
});
