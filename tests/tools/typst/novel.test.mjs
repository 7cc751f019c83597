// templates/novel/book.typ against the template contract of Part 1.106, run
// the way the app runs it: the common arguments, compile to PDF, and the
// layout expression through eval.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import {
  typst, typstAsync, tempDir, emojiDir, bookArguments, pdfPages, pdfFonts,
  templatesDir, sampleBook, LAYOUT_EXPRESSION,
} from './support.mjs';

const template = path.join(templatesDir, 'novel/book.typ');
const sample = JSON.parse(fs.readFileSync(sampleBook, 'utf8'));

/** Writes a variant of the sample book and returns its path. */
function variant(t, change) {
  const book = structuredClone(sample);
  change(book);
  const file = path.join(tempDir(t), 'book with spaces.json');
  fs.writeFileSync(file, JSON.stringify(book));
  return file;
}

function compile(book, output, emoji) {
  return typst(['compile', ...bookArguments(book, emoji), template, output]);
}

function layout(book, emoji) {
  const run = typst(['eval', ...bookArguments(book, emoji), LAYOUT_EXPRESSION, '--in', template]);
  assert.equal(run.status, 0, run.stderr);
  return JSON.parse(run.stdout);
}

/** The text of some pages of a PDF (all when no range is given). */
function pdfText(file, first, last) {
  const args = first ? ['-f', String(first), '-l', String(last ?? first)] : [];
  return spawnSync('pdftotext', [...args, file, '-'], { encoding: 'utf8' }).stdout;
}

const sampleDays = [...new Set(sample.messages.map((m) => m.at.slice(0, 10)))];

test('the sample book compiles to a PDF in the packaged fonts and colour emoji', (t) => {
  const output = path.join(tempDir(t), 'book.pdf');
  const run = compile(sampleBook, output, emojiDir(t));
  assert.equal(run.status, 0, run.stderr);
  assert.doesNotMatch(run.stderr, /unknown font family/);
  assert.ok(pdfPages(output) > 100, `${pdfPages(output)} pages`);
  const fonts = spawnSync('pdffonts', [output], { encoding: 'utf8' }).stdout;
  assert.match(fonts, /TeXGyrePagella-Regular/);
  if (emojiDir(t)) assert.match(fonts, /Type 3/, 'colour emoji are drawn as Type 3 glyphs');
});

test('the layout of the sample: every day once, printed pages from 1, a chapter per month', (t) => {
  const emoji = emojiDir(t);
  const output = path.join(tempDir(t), 'book.pdf');
  assert.equal(compile(sampleBook, output, emoji).status, 0);
  const pages = pdfPages(output);
  const answer = layout(sampleBook, emoji);
  assert.deepEqual(Object.keys(answer).sort(), ['chapters', 'days', 'pins']);
  assert.deepEqual(answer.days.map((row) => row[0]), sampleDays);
  // Title page, its back, the dedication and its back come first, unnumbered.
  assert.deepEqual(answer.days[0], [sampleDays[0], 1, 5]);
  let last = 0;
  for (const [iso, printed, physical] of answer.days) {
    assert.equal(physical, printed + 4, iso);
    assert.ok(printed >= last, `${iso} goes back to page ${printed}`);
    assert.ok(physical <= pages, `${iso} on page ${physical} of ${pages}`);
    last = printed;
  }
  assert.equal(answer.chapters.length, 12);
  assert.equal(answer.chapters[0], 1);
  for (let i = 1; i < 12; i++) assert.ok(answer.chapters[i] > answer.chapters[i - 1]);
  // A chapter opens on the page where its month's first day begins.
  const firstOfMonth = answer.days.filter((row, i) => i === 0 || row[0].slice(0, 7) !== answer.days[i - 1][0].slice(0, 7));
  assert.deepEqual(answer.chapters, firstOfMonth.map((row) => row[1]));
  assert.deepEqual(answer.pins, []);
});

test('the range, hidden messages and replaced texts are honoured', (t) => {
  const inRange = sample.messages.filter((m) => m.at >= '2024-02-01' && m.at < '2024-04-01');
  const replaced = inRange[10];
  const hidden = inRange[20];
  const book = variant(t, (b) => {
    b.edits = {
      range: { from: '2024-02-01', to: '2024-03-31' },
      hidden: [hidden.id],
      text: { [replaced.id]: 'ZEBRAREPLACED', [hidden.id]: 'ZEBRAHIDDEN' },
    };
  });
  const output = path.join(tempDir(t), 'book.pdf');
  const run = compile(book, output);
  assert.equal(run.status, 0, run.stderr);
  const text = pdfText(output);
  assert.match(text, /ZEBRAREPLACED/);
  assert.doesNotMatch(text, /ZEBRAHIDDEN/);
  const answer = layout(book);
  const days = [...new Set(inRange.filter((m) => m.id !== hidden.id).map((m) => m.at.slice(0, 10)))];
  assert.deepEqual(answer.days.map((row) => row[0]), days);
  assert.deepEqual(answer.chapters.length, 2); // February and March
});

test('a pin to a later page adds blank pages; one to an earlier page is not honoured', (t) => {
  const later = sample.messages.find((m) => m.at.startsWith('2024-03-09') && m.text === 'I love you');
  const early = sample.messages.find((m) => m.at.startsWith('2024-05-1'));
  const gone = sample.messages[3];
  const plain = layout(sampleBook);
  const dayPage = (rows, iso) => rows.find((row) => row[0] === iso);
  const natural = dayPage(plain.days, '2024-03-09')[1];
  const asked = natural + 6;
  const book = variant(t, (b) => {
    b.edits = {
      hidden: [gone.id],
      pins: [
        { id: later.id, page: asked },
        { id: early.id, page: 3 },
        { id: gone.id, page: 2 },
      ],
    };
  });
  const answer = layout(book);
  assert.equal(answer.pins.length, 3);
  const [first, second, third] = answer.pins;
  assert.deepEqual(Object.keys(first).sort(), ['id', 'natural', 'ok', 'page']);
  assert.equal(first.id, later.id);
  assert.equal(first.ok, true);
  assert.equal(first.page, asked);
  assert.ok(first.natural >= natural - 1 && first.natural <= natural + 1, `natural ${first.natural}, day on ${natural}`);
  assert.equal(second.id, early.id);
  assert.equal(second.ok, false);
  assert.equal(second.page, second.natural);
  assert.ok(second.natural > 3);
  assert.deepEqual(third, { id: gone.id, page: 0, natural: 0, ok: false });

  // The pinned message prints on the page asked for (its index is the
  // printed page plus the four front pages), and the blank pages before it
  // carry no page number.
  const output = path.join(tempDir(t), 'book.pdf');
  assert.equal(compile(book, output).status, 0);
  assert.match(pdfText(output, asked + 4), /I love you/);
  assert.equal(pdfText(output, asked + 3).trim(), '');
  // Days after the pin move by about the pages added (the text after the
  // pinned message now starts at the top of a page, so it may gain one).
  const shift = asked - first.natural;
  const moved = dayPage(answer.days, '2024-03-12')[1] - dayPage(plain.days, '2024-03-12')[1];
  assert.ok(moved >= shift - 1 && moved <= shift, `moved ${moved}, ${shift} pages added`);
});

test('the user\'s chapters replace the months', (t) => {
  const start = sample.messages.find((m) => m.at.startsWith('2024-06-12'));
  const book = variant(t, (b) => {
    b.edits = {
      chapters: [
        { start: b.messages[0].id, title: 'The beginning' },
        { start: start.id, title: 'Summer' },
      ],
    };
  });
  const answer = layout(book);
  assert.equal(answer.chapters.length, 2);
  assert.equal(answer.chapters[0], 1);
  const day = answer.days.find((row) => row[0] === '2024-06-12');
  assert.equal(answer.chapters[1], day[1], 'the chapter opens on the page of its first day');
  const output = path.join(tempDir(t), 'book.pdf');
  assert.equal(compile(book, output).status, 0);
  assert.match(pdfText(output, day[2]), /Summer/);
});

test('design.chapters "year" gives one chapter, "none" none', (t) => {
  const design = (chapters) => ({ font: 'pagella', chapters, receipt: true, cover: { style: 'cloth', color: 'oxblood' } });
  assert.deepEqual(layout(variant(t, (b) => (b.design = design('year')))).chapters, [1]);
  assert.deepEqual(layout(variant(t, (b) => (b.design = design('none')))).chapters, []);
});

test('each design font is set in its packaged face', (t) => {
  const emoji = emojiDir(t);
  const faces = { pagella: 'TeXGyrePagella', garamond: 'EBGaramond', libertinus: 'LibertinusSerif' };
  for (const [font, face] of Object.entries(faces)) {
    const book = variant(t, (b) => {
      b.messages = b.messages.slice(0, 40);
      b.design = { font, chapters: 'month', receipt: true, receiptLines: [['Messages', '40']], cover: { style: 'cloth', color: 'oxblood' } };
    });
    const output = path.join(tempDir(t), 'book.pdf');
    const run = compile(book, output, emoji);
    assert.equal(run.status, 0, run.stderr);
    if (emoji) assert.doesNotMatch(run.stderr, /unknown font family/, font);
    assert.ok(pdfFonts(output).some((f) => f.startsWith(face)), `${font}: ${pdfFonts(output).join(', ')}`);
  }
});

test('words set in bold everywhere, phrases with punctuation included', (t) => {
  const bold = (words) => {
    const book = variant(t, (b) => {
      b.messages = b.messages.slice(0, 20);
      b.messages[0].text = 'I like c++ (yes) and Coffee and coffeehouse';
      b.edits = { words };
    });
    const output = path.join(tempDir(t), 'book.pdf');
    const run = compile(book, output);
    assert.equal(run.status, 0, run.stderr);
    return pdfFonts(output).some((f) => /Bold/.test(f));
  };
  assert.equal(bold(['c++ (yes)']), true);
  assert.equal(bold(['COFFEE']), true);
  assert.equal(bold(['offee', 'house']), false, 'only whole words');
});

test('a book whose range leaves nothing still typesets', (t) => {
  const book = variant(t, (b) => (b.edits = { range: { from: '2030-01-01' } }));
  const output = path.join(tempDir(t), 'book.pdf');
  assert.equal(compile(book, output).status, 0);
  assert.deepEqual(layout(book), { days: [], pins: [], chapters: [] });
});

test('a missing "book" input stops with a sentence saying so', (t) => {
  const run = typst(['compile', '--root', '/', '--ignore-system-fonts', template, path.join(tempDir(t), 'x.pdf')]);
  assert.equal(run.status, 1);
  assert.match(run.stderr, /^error: panicked with: "the input \\"book\\" is missing/);
});

test('a document without a required key stops with the key named', (t) => {
  // typst shows the panic's text as a string literal, quotes escaped.
  const cases = [
    [(b) => delete b.edits, 'the document has no \\"edits\\"'],
    [(b) => delete b.front.title, 'front has no \\"title\\"'],
    [(b) => (b.messages[7].at = 5), 'messages[7].at is not a string'],
    [(b) => (b.design = { font: 'comic', chapters: 'month', receipt: true, cover: {} }), 'design.font is \\"comic\\"'],
  ];
  for (const [change, message] of cases) {
    const run = compile(variant(t, change), path.join(tempDir(t), 'x.pdf'));
    assert.equal(run.status, 1);
    const expected = `error: panicked with: "book document: ${message}`;
    assert.ok(run.stderr.startsWith(expected), `${expected}\n${run.stderr}`);
  }
});

test('compile and layout run side by side on the same book', async (t) => {
  const emoji = emojiDir(t);
  const output = path.join(tempDir(t), 'book.pdf');
  const [compiled, evaluated] = await Promise.all([
    typstAsync(['compile', ...bookArguments(sampleBook, emoji), template, output]),
    typstAsync(['eval', ...bookArguments(sampleBook, emoji), LAYOUT_EXPRESSION, '--in', template]),
  ]);
  assert.equal(compiled.status, 0, compiled.stderr);
  assert.equal(evaluated.status, 0, evaluated.stderr);
  const days = JSON.parse(evaluated.stdout).days;
  assert.ok(days[days.length - 1][2] <= pdfPages(output));
});
