// templates/novel/book.typ: the receipt page, the print-only inputs of a
// volume (volume, volumes, first-chapter, from, to, pad), and the panics
// that name what is wrong with a document or an input.

import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { typst, tempDir, pdfPages, pdfFonts, sampleBook } from './support.mjs';
import {
  template, sample, design, SAM, MAYA, messages, bookDocument, writeBook, sampleVariant, compile, compileFailure,
  layout, pageTexts, pageWords, lines, bodyLines,
} from './novel-support.mjs';

// A receipt page's lines as pdftotext reads them, the letter-spaced title
// closed up and the dotted leaders written as one ellipsis.
const receipt = (page) => [page[0].replace(/\s+/g, ''), ...page.slice(1).map((line) => line.replace(/(\s*\.)+\s*/, ' … '))];

const receiptLines = [['Reply time, you', '4 min'], ['Longest streak', '41 days'], ['Sorrys', '12 you, 9 Maya']];

describe('the receipt', () => {
  test('a page at the back: the count of messages in the range, then the lines, in capitals', (t) => {
    const book = writeBook(t, bookDocument({
      messages: messages([
        ['2023-12-31 23:00', SAM, 'before the range'],
        ['2024-01-01 09:00', SAM, 'one'],
        ['2024-01-02 09:00', MAYA, 'two'],
        ['2024-01-03 09:00', SAM, 'hidden'],
        ['2024-01-04 09:00', MAYA, undefined, { media: ['photo'] }],
      ]),
      edits: { range: { from: '2024-01-01' }, hidden: ['m4'] },
      design: design({ receipt: true, receiptLines }),
    }));
    const texts = pageTexts(compile(t, book)).map(lines);
    assert.deepEqual(receipt(texts.at(-1)), [
      'SAM&MAYA',
      'January 1, 2024 – January 4, 2024',
      'MESSAGES … 3',
      'REPLY TIME, YOU … 4 MIN',
      'LONGEST STREAK … 41 DAYS',
      'SORRYS … 12 YOU, 9 MAYA',
    ]);
  });

  test('without lines the receipt still counts the messages; switched off, there is none', (t) => {
    const rows = messages([['2024-01-01 09:00', SAM, 'one'], ['2024-01-02 09:00', MAYA, 'two']]);
    const last = (fields) => pageTexts(compile(t, writeBook(t, bookDocument({ messages: rows, design: design(fields) })))).map(lines).at(-1);
    assert.deepEqual(receipt(last({ receipt: true })), [
      'SAM&MAYA',
      'January 1, 2024 – January 2, 2024',
      'MESSAGES … 2',
    ]);
    assert.ok(!last({ receipt: false, receiptLines }).some((line) => line.startsWith('MESSAGES')));
    assert.ok(!pageTexts(compile(t, writeBook(t, bookDocument({ messages: rows })))).join('').includes('MESSAGES'), 'no design, no receipt');
  });
});

describe('names in the receipt', () => {
  // Each reply time names someone in another script; the figure is the
  // line's number (the count of messages is 1), so the line is found by it.
  const names = ['Zoë Lefèvre', 'Ζωή', 'Зоя', '陈波', '김민', 'ซอย', 'נועה', 'زوي'];

  test('print as written, in any script, each before its figure', (t) => {
    const book = writeBook(t, bookDocument({
      messages: messages([['2024-01-01 09:00', SAM, 'one']]),
      design: design({ receipt: true, receiptLines: names.map((name, i) => [`Reply time, ${name}`, `${i + 2} min`]) }),
    }));
    const file = compile(t, book);
    const words = pageWords(file, pdfPages(file));
    names.forEach((name, i) => {
      const figure = words.find((w) => w.text === String(i + 2));
      assert.ok(figure, `the figure of ${name}`);
      const line = words.filter((w) => Math.abs(w.yMax - figure.yMax) < 6 && !/^(REPLY|TIME,|MIN|[.·]+|\d+)$/.test(w.text));
      const letters = [...name.toUpperCase()].filter((c) => c !== ' ');
      const printed = line.map((w) => w.text).join('');
      // Letters as pdftotext reads them: a right-to-left name may come out
      // in reading or in drawing order.
      for (const c of letters) assert.ok(printed.includes(c), `${c} of ${name} in "${printed}"`);
      // A Hebrew or Arabic name used to take its figure into its own
      // direction and print it before the name, on the leader's far side.
      for (const w of line) assert.ok(w.xMax < figure.xMin, `${name}: "${w.text}" ends before its figure`);
    });
    // Scripts no face of the book has are drawn by the fonts staged for
    // them, not left as empty boxes.
    const fonts = pdfFonts(file).join(' ');
    assert.match(fonts, /WenQuanYi/i);
    assert.match(fonts, /Loma/);
  });
});

describe('print inputs', () => {
  const print = (inputs) => ({ volume: 2, volumes: 3, 'first-chapter': 4, from: '2024-03-17', to: '2024-05-31', ...inputs });
  const receiptBook = (t) => sampleVariant(t, (b) => (b.design = design({ receipt: true, receiptLines })));

  test('a middle volume: its days only, its chapters numbered on, no dedication or receipt, padded at the back', (t) => {
    const plain = pageTexts(compile(t, receiptBook(t), { inputs: print({}) })).map(bodyLines);
    const padded = pageTexts(compile(t, receiptBook(t), { inputs: print({ pad: 3 }) })).map(bodyLines);
    assert.deepEqual(padded.slice(0, -3), plain);
    assert.deepEqual(padded.slice(-3), [[], [], []]);

    assert.deepEqual(plain[0], ['Sam & Maya', 'A year of messages', 'Volume 2 of 3']);
    assert.deepEqual(plain[1], []);
    // The volume starts mid-March: no chapter opens there, and April is
    // the first chapter, numbered on from the volumes before.
    assert.deepEqual(plain[2].slice(0, 2), ['March 17, 2024', 'Sunday, March 17']);
    const openings = plain.filter((page) => /^Chapter \d+$/.test(page[0])).map((page) => page.slice(0, 2));
    assert.deepEqual(openings, [['Chapter 4', 'April'], ['Chapter 5', 'May']]);
    const text = plain.flat().join('\n');
    assert.doesNotMatch(text, /Saturday, March 16|Saturday, June 1|MESSAGES/);
    assert.match(text, /Friday, May 31/);
  });

  test('the first volume keeps the dedication; the last has the receipt, counting the whole book', (t) => {
    const first = pageTexts(compile(t, receiptBook(t), { inputs: print({ volume: 1, 'first-chapter': 1, from: '2024-01-01', to: '2024-03-16' }) })).map(lines);
    assert.deepEqual(first[0], ['Sam & Maya', 'A year of messages', 'Volume 1 of 3']);
    assert.deepEqual(first[2], sample.front.dedication);
    assert.ok(!first.flat().some((line) => line.startsWith('MESSAGES')));
    const last = pageTexts(compile(t, receiptBook(t), { inputs: print({ volume: 3, 'first-chapter': 6, from: '2024-06-01', to: '2024-12-31' }) })).map(bodyLines);
    assert.deepEqual(receipt(last.at(-1)).slice(1, 3), ['January 1, 2024 – December 31, 2024', `MESSAGES … ${(2004).toLocaleString('en-US')}`]);
    assert.deepEqual(last[2].slice(0, 2), ['Chapter 6', 'June']);
  });

  test('one volume given as the whole range typesets as the book does', (t) => {
    const whole = compile(t, sampleBook, { inputs: { volume: 1, volumes: 1, 'first-chapter': 1, from: '2024-01-01', to: '2024-12-31' } });
    assert.equal(pdfPages(whole), pdfPages(compile(t, sampleBook)));
  });

  test('the volume\'s days narrow the range; they do not widen it', (t) => {
    const book = sampleVariant(t, (b) => (b.edits = { range: { from: '2024-02-01', to: '2024-02-29' } }));
    const texts = pageTexts(compile(t, book, { inputs: { from: '2024-01-15', to: '2024-02-10' } })).map(lines);
    const days = texts.flat().filter((line) => /^\w+day, \w+ \d+$/.test(line));
    assert.equal(days[0], 'Thursday, February 1');
    assert.equal(days.at(-1), 'Friday, February 9');
    assert.equal(new Set(days).size, days.length);
  });

  test('malformed inputs stop with the input named', (t) => {
    const cases = [
      [{ volume: 'two' }, 'the input \\"volume\\" is \\"two\\"; it must be a whole number from 1'],
      [{ volume: 0 }, 'the input \\"volume\\" is \\"0\\"'],
      [{ volume: 3, volumes: 2 }, 'the input \\"volume\\" is 3 but \\"volumes\\" is 2'],
      [{ pad: -1 }, 'the input \\"pad\\" is \\"-1\\"'],
      [{ 'first-chapter': '1.5' }, 'the input \\"first-chapter\\" is \\"1.5\\"'],
      [{ from: '2024-3-1' }, 'the input \\"from\\" is \\"2024-3-1\\"; it must be a day'],
      [{ to: '2024-04-31' }, 'the input \\"to\\" is \\"2024-04-31\\"; it must be a day'],
    ];
    for (const [inputs, message] of cases) {
      const stderr = compileFailure(t, sampleBook, inputs);
      assert.ok(stderr.startsWith(`error: panicked with: "${message}`), `${JSON.stringify(inputs)}\n${stderr}`);
    }
  });
});

describe('malformed documents', () => {
  test('a missing "book" input stops with a sentence saying so', (t) => {
    const run = typst(['compile', '--root', '/', '--ignore-system-fonts', template, path.join(tempDir(t), 'x.pdf')]);
    assert.equal(run.status, 1);
    assert.match(run.stderr, /^error: panicked with: "the input \\"book\\" is missing/);
  });

  test('a document with a key missing or of the wrong type stops with the key named', (t) => {
    // typst shows the panic's text as a string literal, quotes escaped.
    const cases = [
      [(b) => delete b.edits, 'the document has no \\"edits\\"'],
      [(b) => delete b.front.title, 'front has no \\"title\\"'],
      [(b) => (b.people[1].me = 'no'), 'people[1].me is not true or false'],
      [(b) => (b.messages[7].at = 5), 'messages[7].at is not a string'],
      [(b) => (b.messages[7].at = 'yesterday'), 'messages[7].at is not a time'],
      [(b) => (b.messages[7].at = '2023-02-29T10:00:00'), 'messages[7].at is not a time'],
      [(b) => delete b.messages[9].from, 'messages[9] has no \\"from\\"'],
      [(b) => (b.messages[3].media = 'photo'), 'messages[3].media is not an array of strings'],
      [(b) => (b.messages[3].text = 12), 'messages[3].text is not a string'],
      [(b) => (b.design = design({ font: 'comic' })), 'design.font is \\"comic\\"'],
      [(b) => (b.design = design({ layout: 'bubbles' })), 'design.layout is \\"bubbles\\"'],
      [(b) => (b.design = design({ chapters: 'week' })), 'design.chapters is \\"week\\"'],
      [(b) => (b.design = { font: 'pagella', chapters: 'month', cover: {} }), 'design has no \\"receipt\\"'],
      [(b) => (b.design = design({ receipt: true, receiptLines: [['a', 1]] })), 'design.receiptLines[0] is not an array of strings'],
      [(b) => (b.edits = { pins: [{ id: 'm00001', page: '3' }] }), 'edits.pins[0].page is not an integer'],
      [(b) => (b.edits = { hidden: 'm00001' }), 'edits.hidden is not an array'],
      [(b) => (b.edits = { words: ['fine', 3] }), 'edits.words[1] is not a string'],
      [(b) => (b.edits = { text: { m00001: null } }), 'edits.text.m00001 is not a string'],
    ];
    for (const [change, message] of cases) {
      const stderr = compileFailure(t, sampleVariant(t, change));
      const expected = `error: panicked with: "book document: ${message}`;
      assert.ok(stderr.startsWith(expected), `${expected}\n${stderr}`);
    }
  });

  test('a message whose clock does not read prints without its time; the book still typesets', (t) => {
    const book = writeBook(t, bookDocument({
      messages: messages([['2024-03-09 21:14', SAM, 'on time'], ['2024-03-09 21:20', MAYA, 'no clock']]).map((m, i) =>
        (i === 1 ? { ...m, at: '2024-03-09Txx:yy:00' } : m)),
      design: design({ layout: 'chatroom' }),
    }));
    const text = pageTexts(compile(t, book)).join('\n');
    assert.match(text, /9:14 pm/);
    assert.match(text, /maya: no clock/);
    assert.doesNotMatch(text, /xx|yy/);
  });

  test('the layout query fails on a malformed document as the compile does', (t) => {
    const book = sampleVariant(t, (b) => delete b.people);
    const run = typst(['eval', '--root', '/', '--input', `book=${book}`, '1', '--in', template]);
    assert.equal(run.status, 1);
    assert.match(run.stderr, /book document: the document has no \\"people\\"/);
  });

  test('a document with no design, no messages and an empty dedication typesets its title page', (t) => {
    const book = writeBook(t, bookDocument());
    const texts = pageTexts(compile(t, book)).map(lines);
    assert.deepEqual(texts[0], ['Sam & Maya', 'A year of messages']);
    assert.deepEqual(layout(book), { days: [], pins: [], chapters: [] });
  });
});
