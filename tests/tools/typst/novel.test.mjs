// templates/novel/book.typ run the way the app runs it (the common
// arguments, compile to PDF, and the layout expression through eval): the
// labels and headings the app reads back, the page furniture, the two
// layouts, colour coding and every edit. Print inputs, the receipt and
// malformed documents are in novel-print.test.mjs.

import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { typstAsync, tempDir, emojiDir, bookArguments, pdfPages, pdfFonts, sampleBook, LAYOUT_EXPRESSION } from './support.mjs';
import {
  template, sample, design, SAM, MAYA, JORDAN, messages, bookDocument, writeBook, sampleVariant, compile, layout,
  pdfText, layoutText, pageTexts, pageWords, allPageWords, textEdges, pagePixels, coloured, longDay, weekdayDay, lines,
  standingLines, bodyLines, PAGE,
} from './novel-support.mjs';

const sampleDays = [...new Set(sample.messages.map((m) => m.at.slice(0, 10)))];
const dayRow = (answer, iso) => answer.days.find((row) => row[0] === iso);

describe('the contract with the app', () => {
  test('the sample compiles in the packaged face with colour emoji', (t) => {
    const emoji = emojiDir(t);
    const output = compile(t, sampleBook, { emoji });
    assert.ok(pdfPages(output) > 50, `${pdfPages(output)} pages`);
    assert.ok(pdfFonts(output).some((f) => f.startsWith('TeXGyrePagella')), pdfFonts(output).join(', '));
    const fonts = spawnSync('pdffonts', [output], { encoding: 'utf8' }).stdout;
    if (emoji) assert.match(fonts, /Type 3/, 'colour emoji are drawn as Type 3 glyphs');
  });

  test('every day once, on its printed page from 1 after four front pages; a chapter per month', (t) => {
    const emoji = emojiDir(t);
    const pages = pdfPages(compile(t, sampleBook, { emoji }));
    const answer = layout(sampleBook, emoji);
    assert.deepEqual(Object.keys(answer).sort(), ['chapters', 'days', 'pins']);
    assert.deepEqual(answer.days.map((row) => row[0]), sampleDays);
    // The title page, its back, the dedication and its back are unnumbered.
    assert.deepEqual(answer.days[0], [sampleDays[0], 1, 5]);
    let last = 0;
    for (const [iso, printed, physical] of answer.days) {
      assert.equal(physical, printed + 4, iso);
      assert.ok(printed >= last, `${iso} goes back to page ${printed}`);
      assert.ok(physical <= pages, `${iso} on page ${physical} of ${pages}`);
      last = printed;
    }
    // A chapter opens on the page where its month's first day begins.
    const firstOfMonth = answer.days.filter((row, i) => i === 0 || row[0].slice(0, 7) !== answer.days[i - 1][0].slice(0, 7));
    assert.equal(answer.chapters.length, 12);
    assert.deepEqual(answer.chapters, firstOfMonth.map((row) => row[1]));
    assert.deepEqual(answer.pins, []);
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

  test('a book whose range leaves nothing still typesets', (t) => {
    const book = sampleVariant(t, (b) => (b.edits = { range: { from: '2030-01-01' } }));
    compile(t, book);
    assert.deepEqual(layout(book), { days: [], pins: [], chapters: [] });
  });
});

describe('page furniture', () => {
  test('each page of messages carries in its head its number at the outer corner and the date at its top', (t) => {
    const output = compile(t, sampleBook);
    const words = allPageWords(output);
    const answer = layout(sampleBook);
    const chapterPages = new Set(answer.chapters.map((printed) => printed + 4));
    const lastBodyPage = answer.days[answer.days.length - 1][2];
    const text = (row) => row.sort((a, b) => a.xMin - b.xMin).map((w) => w.text).join(' ');
    for (let page = 5; page <= lastBodyPage; page++) {
      const head = words[page - 1].filter((w) => w.yMax < PAGE.top).sort((a, b) => a.xMin - b.xMin);
      const body = words[page - 1].filter((w) => w.yMax >= PAGE.top);
      const { left, right } = textEdges(page);
      const recto = page % 2 === 1;
      const folio = recto ? head.pop() : head.shift();
      assert.equal(folio.text, String(page - 4), `the number in the head of page ${page}`);
      assert.ok(Math.abs(recto ? folio.xMax - right : folio.xMin - left) < 1, `page ${page}'s number at its outer corner`);
      if (chapterPages.has(page)) {
        assert.equal(text(head), '', `a chapter's opening page ${page} has no date in its head`);
        continue;
      }
      const top = Math.min(...body.map((w) => w.yMax));
      const firstLine = text(body.filter((w) => Math.abs(w.yMax - top) < 3));
      const before = answer.days.filter((row) => row[2] < page).at(-1);
      const opening = answer.days.find((row) => row[2] === page);
      const atTop = opening && firstLine === weekdayDay(opening[0]);
      assert.equal(text(head), longDay(atTop ? opening[0] : before[0]), `the head of page ${page}`);
    }
  });

  test('the front pages have no head or number; the title page has the title and colophon, then the dedication', (t) => {
    const texts = pageTexts(compile(t, sampleBook));
    assert.deepEqual(lines(texts[0]), ['Sam & Maya', 'A year of messages']);
    assert.deepEqual(lines(texts[1]), []);
    assert.deepEqual(lines(texts[2]), sample.front.dedication);
    assert.deepEqual(lines(texts[3]), []);
  });

  // "You & +49 151 23456789" was set as "You & +49 151" over "23456789".
  test('a phone number in the title stays on one line of the title page', (t) => {
    const numbers = ['+49 151 23456789', '+44 7700 900123', '+33 6 12 34 56 78', '(555) 123-4567'];
    for (const title of [...numbers.map((n) => `You & ${n}`), `Every word of our summer, you & ${numbers[0]}`]) {
      const number = numbers.find((n) => title.endsWith(n));
      const book = writeBook(t, bookDocument({
        front: { title, colophon: '', dedication: [] },
        messages: messages([['2024-03-05 09:00', MAYA, 'Hello']]),
      }));
      const page = standingLines(pageTexts(compile(t, book))[0]);
      assert.ok(page.some((line) => line.endsWith(number)), `${title}: ${page.join(' / ')}`);
    }
  });

  test('without a dedication the messages start on the third page', (t) => {
    const book = sampleVariant(t, (b) => (b.front.dedication = []));
    assert.deepEqual(layout(book).days[0], [sampleDays[0], 1, 3]);
  });

  test('each design font is set in its packaged face', (t) => {
    const emoji = emojiDir(t);
    const faces = { pagella: 'TeXGyrePagella', garamond: 'EBGaramond', libertinus: 'LibertinusSerif' };
    for (const [font, face] of Object.entries(faces)) {
      const book = sampleVariant(t, (b) => {
        b.messages = b.messages.slice(0, 40);
        b.design = design({ font, receipt: true, receiptLines: [['Messages', '40']] });
      });
      const fonts = pdfFonts(compile(t, book, { emoji }));
      assert.ok(fonts.some((f) => f.startsWith(face)), `${font}: ${fonts.join(', ')}`);
    }
  });
});

describe('chapters', () => {
  test('the user\'s chapters replace the months, numbered in order', (t) => {
    const start = sample.messages.find((m) => m.at.startsWith('2024-06-12'));
    const book = sampleVariant(t, (b) => {
      b.design = design({ chapters: 'none' });
      b.edits = {
        chapters: [
          { start: b.messages[0].id, title: 'The beginning' },
          { start: start.id, title: 'Summer 🌞' },
        ],
      };
    });
    const answer = layout(book);
    assert.equal(answer.chapters.length, 2);
    assert.equal(answer.chapters[0], 1);
    const day = dayRow(answer, '2024-06-12');
    assert.equal(answer.chapters[1], day[1], 'the chapter opens on the page of its first day');
    const opening = bodyLines(pdfText(compile(t, book), day[2]));
    assert.deepEqual(opening.slice(0, 2), ['Chapter 2', 'Summer 🌞']);
  });

  test('a chapter started at a hidden message opens at the next message shown', (t) => {
    const book = writeBook(t, bookDocument({
      messages: messages([
        ['2024-01-01 09:00', SAM, 'one'],
        ['2024-01-02 09:00', MAYA, 'two'],
        ['2024-01-03 09:00', SAM, 'three'],
      ]),
      edits: { hidden: ['m2'], chapters: [{ start: 'm1', title: 'First' }, { start: 'm2', title: 'Second' }] },
    }));
    const answer = layout(book);
    assert.deepEqual(answer.chapters, [1, 2]);
    assert.deepEqual(answer.days.map((row) => row[0]), ['2024-01-01', '2024-01-03']);
    assert.match(pdfText(compile(t, book), 4), /Second[\s\S]*three/);
  });

  test('design.chapters "year" gives one chapter per year, "none" none, and months span years with the year', (t) => {
    const rows = [['2023-12-30 09:00', SAM, 'old'], ['2024-01-02 09:00', MAYA, 'new'], ['2024-02-02 09:00', SAM, 'later']];
    const chaptersOf = (chapters) => {
      const book = writeBook(t, bookDocument({ messages: messages(rows), design: design({ chapters }) }));
      return [layout(book).chapters.length, pageTexts(compile(t, book)).map(bodyLines).filter((l) => /^Chapter/.test(l[0])).map((l) => l[1])];
    };
    assert.deepEqual(chaptersOf('year'), [2, ['2023', '2024']]);
    assert.deepEqual(chaptersOf('none'), [0, []]);
    assert.deepEqual(chaptersOf('month'), [3, ['December 2023', 'January 2024', 'February 2024']]);
  });
});

describe('layouts', () => {
  // Short messages, so that each sits on one line.
  const talk = messages([
    ['2024-03-09 21:14', SAM, 'hello there'],
    ['2024-03-09 21:15', SAM, 'are you up'],
    ['2024-03-09 21:20', MAYA, 'always'],
    ['2024-03-09 21:21', JORDAN, 'me too'],
    ['2024-03-09 21:22', JORDAN, 'obviously'],
    ['2024-03-09 21:30', SAM, 'good night', { media: ['photo', 'photo', 'voice memo'] }],
  ]);

  test('the book layout: own messages left, everyone else\'s right, the name run in when the speaker changes', (t) => {
    const book = writeBook(t, bookDocument({ people: [SAM, MAYA, JORDAN], messages: talk, design: design() }));
    const output = compile(t, book);
    const page = 3; // the first page of messages, a right-hand one
    const words = pageWords(output, page);
    const { left, right } = textEdges(page);
    const near = (a, b) => Math.abs(a - b) < 1;
    const word = (text) => {
      const found = words.filter((w) => w.text === text);
      assert.ok(found.length > 0, `${text} on page ${page}: ${words.map((w) => w.text).join(' ')}`);
      return found;
    };
    const rowOf = (w) => words.filter((other) => Math.abs(other.yMax - w.yMax) < 3).sort((a, b) => a.xMin - b.xMin);
    const lineOf = (w) => rowOf(w).map((other) => other.text).join(' ');
    // The name starts the first line of a speaker's turn, its time ends it.
    assert.ok(near(word('Sam')[0].xMin, left), 'my name at the left edge');
    assert.equal(lineOf(word('Sam')[0]), 'Sam hello there 9:14 pm');
    assert.ok(near(word('are')[0].xMin, left), 'my next message starts at the left edge, with no name');
    assert.equal(lineOf(word('are')[0]), 'are you up');
    assert.equal(lineOf(word('Maya')[0]), 'Maya always 9:20 pm');
    // Everyone else's start at one edge on the right, short or long.
    const theirs = left + 0.22 * (right - left);
    assert.ok(near(word('Maya')[0].xMin, theirs), 'hers start at the far margin');
    assert.ok(near(word('obviously')[0].xMin, theirs), 'and so do Jordan\'s');
    // A name each time the speaker changes, and only then.
    assert.equal(word('Sam').length, 2);
    assert.equal(word('Lee').length, 1);
    assert.equal(lineOf(word('Lee')[0]), 'Jordan Lee me too 9:21 pm');
    // Attachments as quiet marks of their kind, counted.
    assert.match(pdfText(output, page), /2 photos\s+voice memo/);
  });

  test('the chat-room layout: every message on its line with its time and a screen name', (t) => {
    const book = writeBook(t, bookDocument({ people: [SAM, MAYA, JORDAN], messages: talk, design: design({ layout: 'chatroom' }) }));
    const text = layoutText(compile(t, book), 3);
    const standing = standingLines(text);
    for (const line of [
      '9:14 pm sam: hello there',
      '9:15 pm sam: are you up',
      '9:20 pm maya: always',
      '9:21 pm jordanlee: me too',
      '9:22 pm jordanlee: obviously',
    ]) {
      assert.ok(standing.includes(line), `${line} in\n${text}`);
    }
  });

  test('colour coding sets each speaker in a colour of their own; without it the text is black', (t) => {
    const rows = messages([['2024-03-09 09:00', SAM, 'plain words from me'], ['2024-03-09 09:01', MAYA, 'plain words from her']]);
    const hues = (fields) => {
      const book = writeBook(t, bookDocument({ messages: rows, design: design(fields) }));
      const inked = pagePixels(t, compile(t, book), 3).filter(coloured);
      return { blue: inked.filter(([r, , b]) => b > r + 40).length, red: inked.filter(([r, , b]) => r > b + 40).length };
    };
    const plain = hues({});
    assert.deepEqual(plain, { blue: 0, red: 0 });
    const coded = hues({ colourCoding: true });
    assert.ok(coded.blue > 20 && coded.red > 20, JSON.stringify(coded));
    const chat = hues({ colourCoding: true, layout: 'chatroom' });
    assert.ok(chat.blue > 20 && chat.red > 20, JSON.stringify(chat));
  });
});

describe('edits', () => {
  test('the range, hidden messages and replaced texts are honoured', (t) => {
    const inRange = sample.messages.filter((m) => m.at >= '2024-02-01' && m.at < '2024-04-01');
    const replaced = inRange[10];
    const hidden = inRange[20];
    const book = sampleVariant(t, (b) => {
      b.edits = {
        range: { from: '2024-02-01', to: '2024-03-31' },
        hidden: [hidden.id],
        text: { [replaced.id]: 'ZEBRAREPLACED', [hidden.id]: 'ZEBRAHIDDEN' },
      };
    });
    const text = pdfText(compile(t, book));
    assert.match(text, /ZEBRAREPLACED/);
    assert.doesNotMatch(text, /ZEBRAHIDDEN/);
    const answer = layout(book);
    const days = [...new Set(inRange.filter((m) => m.id !== hidden.id).map((m) => m.at.slice(0, 10)))];
    assert.deepEqual(answer.days.map((row) => row[0]), days);
    assert.equal(answer.chapters.length, 2); // February and March
  });

  test('bold: whole messages, phrases of one message, and words wherever they occur, as whole words', (t) => {
    const bold = (text, edits) => {
      const book = writeBook(t, bookDocument({ messages: messages([['2024-01-01 09:00', SAM, text], ['2024-01-01 09:01', MAYA, 'Coffee?']]), edits }));
      return pdfFonts(compile(t, book)).some((f) => /Bold/.test(f));
    };
    const text = 'I like c++ (yes) and coffeehouse';
    assert.equal(bold(text, {}), false);
    assert.equal(bold(text, { words: ['c++ (yes)'] }), true);
    assert.equal(bold(text, { words: ['COFFEE'] }), true, 'in any case, in another message');
    assert.equal(bold(text, { words: ['offee', 'house'] }), false, 'only whole words');
    assert.equal(bold(text, { emphasis: [{ id: 'm1' }] }), true);
    assert.equal(bold(text, { emphasis: [{ id: 'm1', phrase: 'like c++' }] }), true);
    assert.equal(bold(text, { emphasis: [{ id: 'm1', phrase: 'Like' }] }), false, 'a phrase matches exactly');
    assert.equal(bold(text, { words: ['like'], emphasis: [{ id: 'm1', phrase: 'like c' }] }), true, 'overlapping marks');
    // Only the messages: not the names, dates or chapter titles.
    assert.equal(bold(text, { words: ['Sam', 'January', 'Monday'] }), false);
  });

  test('an added page stands alone, centred, without head or number, before its message', (t) => {
    const book = writeBook(t, bookDocument({
      messages: messages([
        ['2024-01-01 09:00', SAM, 'before it'],
        ['2024-01-02 09:00', MAYA, 'after it'],
        ['2024-01-03 09:00', SAM, 'hidden one'],
        ['2024-01-03 09:05', MAYA, 'next shown'],
      ]),
      edits: {
        hidden: ['m3'],
        inserts: [
          { before: 'm2', kind: 'page', text: 'The day everything changed.\nFor Maya' },
          { before: 'm3', kind: 'page', text: 'Moved along' },
          { before: 'm4', kind: 'sticker', text: 'not a page' },
        ],
      },
    }));
    const output = compile(t, book);
    const texts = pageTexts(output).map(lines);
    assert.deepEqual(texts[3], ['The day everything changed.', 'For Maya']);
    assert.deepEqual(texts[5], ['Moved along'], 'the page of a hidden message goes before the next one shown');
    assert.ok(texts[4].some((l) => l.includes('after it')) && texts[6].some((l) => l.includes('next shown')));
    assert.ok(!texts.flat().includes('not a page'));
    // Centred across the text block, a third of the way down.
    const words = pageWords(output, 4);
    const { left, right } = textEdges(4);
    const first = words.filter((w) => w.yMin === words[0].yMin);
    const middle = (first[0].xMin + first.at(-1).xMax) / 2;
    assert.ok(Math.abs(middle - (left + right) / 2) < 1, `centred: ${middle}`);
    assert.ok(words[0].yMin > 120 && words[0].yMin < 300, `a third of the way down: ${words[0].yMin}`);
    // Added pages are counted in the page numbers.
    assert.deepEqual(layout(book).days.map((row) => row[1]), [1, 3, 5]);
  });
});

describe('pins', () => {
  test('a pin to a later page adds blank pages; one to an earlier page is not honoured', (t) => {
    const later = sample.messages.find((m) => m.at.startsWith('2024-03-09') && m.text === 'I love you');
    const early = sample.messages.find((m) => m.at.startsWith('2024-05-1'));
    const gone = sample.messages[3];
    const plain = layout(sampleBook);
    const natural = dayRow(plain, '2024-03-09')[1];
    const asked = natural + 6;
    const book = sampleVariant(t, (b) => {
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
    // printed page plus the four front pages); the blank pages before it
    // carry no head and no number.
    const output = compile(t, book);
    assert.match(pdfText(output, asked + 4), /I love you/);
    assert.equal(pdfText(output, asked + 3).trim(), '');
    assert.equal(pdfText(output, first.natural + 5).trim(), '');
  });

  test('a pin lands on its page past a chapter opening and added pages, and reports where it would fall', (t) => {
    const march = sample.messages.find((m) => m.at.startsWith('2024-03-01'));
    const may = sample.messages.find((m) => m.at.startsWith('2024-05-10'));
    const withInserts = (b) => (b.edits = { inserts: [{ before: may.id, kind: 'page', text: 'An epigraph' }, { before: may.id, kind: 'page' }] });
    const plain = layout(sampleVariant(t, withInserts));
    const marchPage = dayRow(plain, '2024-03-01')[1];
    const mayPage = dayRow(plain, '2024-05-10')[1];
    const book = sampleVariant(t, (b) => {
      withInserts(b);
      b.edits.pins = [{ id: march.id, page: marchPage + 3 }, { id: may.id, page: mayPage + 10 }];
    });
    const answer = layout(book);
    assert.deepEqual(answer.pins, [
      { id: march.id, page: marchPage + 3, natural: marchPage, ok: true },
      // The first pin moved it on by three pages already.
      { id: may.id, page: mayPage + 10, natural: mayPage + 3, ok: true },
    ]);
    assert.equal(answer.chapters[2], marchPage + 3, 'the chapter opens on the pinned page');
    const texts = pageTexts(compile(t, book)).map(lines);
    assert.deepEqual(texts[mayPage + 10 + 4 - 3], ['An epigraph'], 'the added pages stay just before the message');
  });

  test('a pin to the page where the message falls adds nothing', (t) => {
    const march = sample.messages.find((m) => m.at.startsWith('2024-03-01'));
    const plain = layout(sampleBook);
    const page = dayRow(plain, '2024-03-01')[1];
    const answer = layout(sampleVariant(t, (b) => (b.edits = { pins: [{ id: march.id, page }] })));
    assert.deepEqual(answer.pins, [{ id: march.id, page, natural: page, ok: true }]);
    assert.deepEqual(answer.days, plain.days);
  });
});
