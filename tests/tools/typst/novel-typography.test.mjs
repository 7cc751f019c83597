// templates/novel/book.typ as a reader holds the book: no hyphens in the
// ragged text, each day's lines on the grid with air above its heading,
// the marks of attachments inside their lines, the other side's long
// messages set as blocks with one straight edge, no runts, and a time
// wherever a sender picks up again after a long silence. Measured from the
// PDF that the real typst writes: its words and their boxes, and the ink
// of the pages.

import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { tempDir } from './support.mjs';
import {
  sample, design, SAM, MAYA, messages, bookDocument, writeBook, compile, pageTexts, allPageWords, bodyRows, textEdges,
  rowsOf, PAGE, PITCH, LINE_TOP, FACES,
} from './novel-support.mjs';

// How far a line's box of the body's grid reaches below its baseline.
const LINE_DEPTH = 2;
// An em of each face's body size: how far turnover lines hang in.
const HANG = { pagella: 9.5, garamond: 11.1, libertinus: 10.3 };

const sentences = [
  'I was thinking about what you said last night, and honestly you were right.',
  'The kids next door have learnt the trumpet, or at least one note of it.',
  'Remember the café by the station? It closed, and I felt oddly sad about it.',
  'The landlord finally fixed the heating, so the flat is warm for the first time in weeks.',
  'Sorry I was short with you earlier, it was a rough afternoon and not your fault.',
  'The garden is a jungle after all that rain; the tomatoes have taken over the path.',
  'We should go to the coast this weekend if the weather holds up, and take the butter biscuits.',
];

/** Messages of every length from both sides over a few days, a minute apart. */
function talk(count, start = '2024-03-04') {
  const rows = [];
  const day = new Date(`${start}T08:00:00Z`);
  for (let i = 0; i < count; i++) {
    if (i > 0 && i % 9 === 0) day.setUTCDate(day.getUTCDate() + 1);
    const at = new Date(day.getTime() + (i % 9) * 60000).toISOString().slice(0, 16).replace('T', ' ');
    const who = i % 3 === 2 ? SAM : MAYA;
    const text = i % 4 === 0 ? sentences.slice(0, 1 + (i % sentences.length)).join(' ')
      : i % 4 === 1 ? sentences[i % sentences.length]
        : ['see you tomorrow afternoon', 'happy birthday!!', 'after the butter run', 'noooo'][i % 4];
    rows.push([at, who, text]);
  }
  return messages(rows);
}

/** A line is a day's heading when it reads like one. */
const isHeading = (row) => /^(Mon|Tues|Wednes|Thurs|Fri|Satur|Sun)day, \w+ \d+$/i.test(row.text);

describe('no hyphens where the text is ragged', () => {
  // A hyphen that typst put in shows as a line ending in "word-" before a
  // line that goes on with letters, where the text has no such hyphen.
  function hyphenations(pdf, sourceText) {
    const source = sourceText.toLowerCase();
    const found = [];
    for (const page of pageTexts(pdf)) {
      if (page.includes('\u00ad')) found.push('a soft hyphen');
      const lines = page.split('\n').map((l) => l.trim()).filter(Boolean);
      for (let i = 0; i + 1 < lines.length; i++) {
        const end = /(\p{L}+)-$/u.exec(lines[i]);
        const next = /^(\p{L}+)/u.exec(lines[i + 1]);
        if (end && next && !source.includes(`${end[1]}-${next[1]}`.toLowerCase())) found.push(`${end[1]}-/${next[1]}`);
      }
    }
    return found;
  }

  test('messages, day headings, chapter titles, the title page and the receipt break only between words', (t) => {
    const title = 'The summer we spent wandering around Lisbon together, and everything afterwards';
    const rows = [...sample.messages.slice(0, 300), ...talk(80, '2024-02-10')];
    for (const font of FACES) {
      const book = writeBook(t, bookDocument({
        front: { title, colophon: 'Unbelievably wonderful afternoons', dedication: [] },
        messages: rows,
        design: design({ font, chapters: 'none', receipt: true, receiptLines: [['Longest conversation', 'Wednesday, February 14, 2024']] }),
        edits: { chapters: [{ start: rows[0].id, title: 'Unbelievably wonderful afternoons in Lisbon' }] },
      }));
      const source = [title, ...rows.map((m) => m.text ?? '')].join('\n');
      assert.deepEqual(hyphenations(compile(t, book), source), [], font);
    }
  });

  test('a word longer than the line still breaks rather than running into the margin', (t) => {
    const word = 'Donaudampfschifffahrtsgesellschaftskapitänswitwenrentenversicherungsanstalt';
    const book = writeBook(t, bookDocument({
      messages: messages([['2024-03-09 09:00', SAM, `look ${word}`], ['2024-03-09 09:01', MAYA, `${word} indeed`]]),
      design: design(),
    }));
    const words = allPageWords(compile(t, book), 3)[0];
    const { left, right } = textEdges(3);
    // Hyphens and stops may hang a little into the margin, as typst sets them.
    for (const w of words) {
      assert.ok(w.xMax <= right + 3 && w.xMin >= left - 1, `${w.text} from ${w.xMin} to ${w.xMax}`);
    }
  });
});

describe('the line grid and the day headings', () => {
  // A page whose next day can't fit shares what it has to spare out among
  // the blank lines above its headings, evenly, and ends on its last line;
  // within a day every line keeps the grid's distance.
  test('every line of a day on the grid, at least a blank line above each day\'s heading, none ending a page, pages full', (t) => {
    const rows = [...talk(120), ...messages([
      ['2024-03-20 09:00', MAYA, 'noooo'],
      ['2024-03-20 09:01', MAYA, undefined, { media: ['photo'] }],
      ['2024-03-20 09:02', MAYA, 'call me when you can 🙈'],
      ['2024-03-20 09:03', SAM, 'look', { media: ['photo', 'photo', 'voice memo'] }],
      ['2024-03-21 09:03', SAM, undefined, { media: ['voice memo'] }],
      ['2024-03-21 09:04', SAM, 'yes 🎉🎉'],
    ])].map((m, i) => ({ ...m, id: `m${i + 1}` }));
    let filled = 0;
    for (const font of FACES) {
      const pdf = compile(t, writeBook(t, bookDocument({ messages: rows, design: design({ font, chapters: 'none' }) })));
      const pages = bodyRows(pdf).slice(2); // past the title page and its back
      // Lines of words at the body's size only: a mark alone on its line,
      // or capitals made small, have other boxes. The grid's first line is
      // the highest of them.
      const height = (w) => w.yMax - w.yMin;
      const tallest = Math.max(...pages.flat().flatMap((row) => row.words.map(height)));
      const bodySize = (row) => row.words.some((w) => height(w) > 0.95 * tallest);
      const top = Math.min(...pages.map((page) => page.find(bodySize).y));
      const lines = (from, to) => (to.y - from.y) / PITCH;
      const whole = (n) => Math.abs(n - Math.round(n)) < 0.03;
      let headings = 0;
      pages.forEach((page, p) => {
        const where = `${font}, page ${p + 3}`;
        if (bodySize(page[0])) assert.ok(Math.abs(page[0].y - top) < 0.3, `${where} starts on the grid's first line: ${page[0].text}`);
        // Each day's lines are measured from its first message, the page's
        // first lines from the top of the grid.
        let from = { y: top };
        const shares = [];
        page.forEach((row, i) => {
          if (isHeading(row)) {
            headings += 1;
            assert.ok(i + 1 < page.length, `${where} ends with the heading ${row.text}`);
            const next = page[i + 1];
            assert.ok(Math.abs(lines(row, next) - 1) < 0.3, `${where}: the first message follows ${row.text} on the next line`);
            if (i > 0) {
              const above = lines(page[i - 1], next);
              assert.ok(above >= 3 - 0.03, `${where}: no blank line above ${row.text}`);
              if (!whole(above)) shares.push(above - Math.round(above));
            }
            if (bodySize(next)) from = next;
            return;
          }
          if (bodySize(row) && i > 0 && !isHeading(page[i - 1])) {
            assert.ok(whole(lines(from, row)), `${where}: "${row.text}" is off its day's grid by ${(lines(from, row) % 1).toFixed(2)} lines`);
          }
        });
        if (shares.length > 0) {
          filled += 1;
          assert.ok(shares.length >= 2, `${where}: one heading alone takes what the page spares`);
          assert.ok(Math.max(...shares) - Math.min(...shares) < 0.05, `${where}: the headings' shares differ: ${shares}`);
          const last = page.filter(bodySize).at(-1);
          assert.ok(Math.abs(lines({ y: top }, last) - 40) < 0.05, `${where} spares lines but ends on line ${lines({ y: top }, last).toFixed(2)} of 41`);
        }
      });
      assert.ok(headings >= 15, `${font}: ${headings} headings`);
    }
    assert.ok(filled >= 1, 'no page shares what it spares');
  });

  test('a chapter\'s opening and its first day\'s heading keep the one blank line between them', (t) => {
    const book = writeBook(t, bookDocument({
      messages: messages([['2024-03-31 09:00', SAM, 'March'], ['2024-04-01 09:00', MAYA, 'April']]),
      design: design(),
    }));
    const pages = bodyRows(compile(t, book));
    const april = pages.find((page) => page.some((row) => row.text === 'Monday, April 1'));
    const heading = april.findIndex((row) => row.text === 'Monday, April 1');
    // The rule under the title carries no words: the title is two lines up.
    assert.equal(april[heading - 1].text, 'April');
    assert.equal(heading, 2, april.map((r) => r.text).join(' / '));
    const gap = (april[heading].y - april[heading - 1].y) / PITCH;
    assert.ok(gap > 2 && gap < 4, `${gap.toFixed(2)} lines from the title to the heading`);
  });
});

describe('the marks of attachments', () => {
  // The ink of part of a page as grey levels, at 600 pixels per inch.
  function grey(t, pdf, page, box) {
    const scale = 600 / 72;
    const [x, y, w, h] = [box.x, box.y, box.w, box.h].map((v) => Math.round(v * scale));
    const base = path.join(tempDir(t), 'crop');
    spawnSync('pdftoppm', ['-r', '600', '-gray', '-f', String(page), '-l', String(page), '-x', String(x), '-y', String(y),
      '-W', String(w), '-H', String(h), '-singlefile', pdf, base]);
    const bytes = fs.readFileSync(`${base}.pgm`);
    const header = bytes.subarray(0, 30).toString('latin1').split(/\s+/);
    const [width, height] = [Number(header[1]), Number(header[2])];
    const start = bytes.length - width * height;
    return { width, height, scale, at: (px, py) => bytes[start + py * width + px] };
  }

  // The top and bottom of a mark's frame, in points from the page's top:
  // the rows of the crop where one stroke of ink runs at least the width of
  // the mark's word (letters never run that long).
  function frame(t, pdf, page, word) {
    const box = { x: word.xMin - 8, y: word.yMax - 3 * PITCH / 2 - 4, w: word.xMax - word.xMin + 16, h: 3 * PITCH };
    const image = grey(t, pdf, page, box);
    const least = (word.xMax - word.xMin) * image.scale;
    const edges = [];
    for (let py = 0; py < image.height; py++) {
      let run = 0;
      let longest = 0;
      for (let px = 0; px < image.width; px++) {
        run = image.at(px, py) < 200 ? run + 1 : 0;
        longest = Math.max(longest, run);
      }
      if (longest >= least) edges.push(box.y + py / image.scale);
    }
    return edges.length ? { top: edges[0], bottom: edges.at(-1) } : undefined;
  }

  test('a mark\'s frame stays inside its line\'s box, alone on its line or after words, in every face', (t) => {
    const rows = messages([
      ['2024-03-09 21:14', SAM, 'here you go'],
      ['2024-03-09 21:20', MAYA, 'noooo'],
      ['2024-03-09 21:21', MAYA, undefined, { media: ['photo'] }],
      ['2024-03-09 21:22', MAYA, 'call me when you can'],
      ['2024-03-09 21:30', SAM, 'look at this one', { media: ['photo'] }],
      ['2024-03-09 21:31', SAM, 'and this'],
    ]);
    for (const font of FACES) {
      const pdf = compile(t, writeBook(t, bookDocument({ messages: rows, design: design({ font }) })));
      const words = allPageWords(pdf, 3)[0];
      const marks = words.filter((w) => /^photo$/i.test(w.text));
      assert.equal(marks.length, 2, `${font}: ${words.map((w) => w.text).join(' ')}`);
      // The first line's baseline lies its box's height below the text
      // block's top; every other line is whole pitches further down.
      for (const mark of marks) {
        const line = Math.round((mark.yMax - (PAGE.top + LINE_TOP)) / PITCH);
        const baseline = PAGE.top + LINE_TOP + line * PITCH;
        const drawn = frame(t, pdf, 3, mark);
        assert.ok(drawn, `${font}: no frame found around the mark on line ${line}`);
        assert.ok(drawn.top >= baseline - LINE_TOP - 0.1, `${font}, line ${line}: the frame's top ${(baseline - drawn.top).toFixed(2)} pt above the baseline`);
        assert.ok(drawn.bottom <= baseline + LINE_DEPTH + 0.1, `${font}, line ${line}: the frame's bottom ${(drawn.bottom - baseline).toFixed(2)} pt below the baseline`);
      }
    }
  });
});

describe('messages as blocks of text', () => {
  const long = `${sentences[0]} ${sentences[1]} ${sentences[3]}`;

  test('the other side\'s messages, long or short, start at one edge on the right, their turnover lines hung in', (t) => {
    for (const font of FACES) {
      const book = writeBook(t, bookDocument({
        messages: messages([
          ['2024-03-09 09:00', SAM, long],
          ['2024-03-09 09:01', MAYA, long],
          ['2024-03-09 09:02', MAYA, 'sleep well'],
        ]),
        design: design({ font, chapters: 'none' }),
      }));
      const rows = bodyRows(compile(t, book))[2];
      const { left, right } = textEdges(3);
      const mayaFirst = rows.findIndex((row) => /^maya$/i.test(row.words[0].text));
      const short = rows.findIndex((row) => row.text === 'sleep well');
      const mine = rows.slice(1, mayaFirst);
      const hers = rows.slice(mayaFirst, short);
      assert.ok(mine.length >= 3 && hers.length >= 3, `${font}: ${rows.map((r) => r.text).join(' / ')}`);
      // A message's first line at its side's edge, its turnover lines an
      // em in from it.
      const hang = (row, edge, i) => (i === 0 ? edge : edge + HANG[font]);
      for (const [i, row] of mine.entries()) assert.ok(Math.abs(row.words[0].xMin - hang(row, left, i)) < 0.5, `${font}, mine: ${row.text}`);
      const edge = hers[0].words[0].xMin;
      assert.ok(edge > left + 30, `${font}: hers stands to the right`);
      for (const [i, row] of hers.entries()) assert.ok(Math.abs(row.words[0].xMin - hang(row, edge, i)) < 0.5, `${font}, hers starts at ${row.words[0].xMin}, not ${hang(row, edge, i)}: ${row.text}`);
      // Her block starts at the far margin, whatever its longest line, so
      // that a run of her replies keeps one left edge down the page.
      const margin = left + 0.22 * (right - left);
      assert.ok(Math.abs(edge - margin) < 1, `${font}: her lines start at ${edge}, not at the far margin ${margin}`);
      for (const row of hers) assert.ok(row.words.at(-1).xMax < right + 0.5, `${font}: her line runs past the margin: ${row.text}`);
      assert.ok(hers.some((row) => row.words.at(-1).xMax < right - 10), `${font}: her lines are ragged on the right`);
      assert.ok(Math.abs(rows[short].words[0].xMin - edge) < 0.5, `${font}: a short one starts at her edge, not at ${rows[short].words[0].xMin}`);
    }
  });

  test('the last line of a message with its time holds at least its last two words', (t) => {
    // Messages of one to sixteen words, so that every line length comes by.
    const words = 'we should all go down to the party at the lake tomorrow and bring the dog'.split(' ');
    const rows = [];
    for (let n = 6; n <= words.length; n++) {
      const text = [...words.slice(0, n - 1), words.at(-1)].join(' ');
      rows.push([`2024-03-09 ${String(8 + n).padStart(2, '0')}:14`, n % 2 ? MAYA : SAM, `${text} ${text}`]);
    }
    for (const font of FACES) {
      const book = writeBook(t, bookDocument({ messages: messages(rows), design: design({ font }) }));
      const page = bodyRows(compile(t, book))[2];
      let checked = 0;
      for (const [i, row] of page.entries()) {
        const time = row.words.findIndex((w) => /^\d{1,2}:\d\d$/.test(w.text));
        if (time < 0 || i === 0 || page[i - 1].words.some((w) => /^\d{1,2}:\d\d$/.test(w.text)) || isHeading(page[i - 1])) continue;
        checked += 1;
        assert.ok(time >= 2, `${font}: a runt before the time: "${page[i - 1].text}" / "${row.text}"`);
      }
      assert.ok(checked >= 6, `${font}: ${checked} messages of more than one line`);
    }
  });
});

describe('times', () => {
  test('a message more than an hour after its sender\'s last one carries its time', (t) => {
    const book = writeBook(t, bookDocument({
      messages: messages([
        ['2024-03-09 02:12', SAM, 'hahahaha'],
        ['2024-03-09 09:12', SAM, 'happy anniversary'],
        ['2024-03-09 10:12', SAM, 'an hour later'],
        ['2024-03-09 11:13', SAM, 'an hour and a minute'],
        ['2024-03-09 11:20', MAYA, 'thank you'],
        ['2024-03-09 15:00', MAYA, 'love you'],
      ]),
      design: design({ chapters: 'none' }),
    }));
    const lines = bodyRows(compile(t, book))[2].map((row) => row.text);
    assert.deepEqual(lines.slice(1), [
      'Sam hahahaha 2:12 am',
      'happy anniversary 9:12 am',
      'an hour later',
      'an hour and a minute 11:13 am',
      'Maya thank you 11:20 am',
      'love you 3:00 pm',
    ]);
  });
});

describe('the receipt', () => {
  test('a row too long for its line keeps its value whole and flush right, its label at the left edge', (t) => {
    const book = writeBook(t, bookDocument({
      front: { title: 'Sam & Maximilian Featherstonehaugh', colophon: '', dedication: [] },
      messages: messages([['2024-02-14 09:00', SAM, 'morning'], ['2024-02-14 09:05', MAYA, 'happy valentine']]),
      design: design({ chapters: 'none', receipt: true, receiptLines: [
        ['Longest conversation', 'Wednesday, February 14, 2024'],
        ['Reply time, Maximilian Featherstonehaugh', '6 minutes'],
        ['Sorrys', '9 you, 12 Maximilian Alexander Featherstonehaugh-Smythe'],
        ['Latest night', '3:12 AM'],
      ] }),
    }));
    const pdf = compile(t, book);
    const pages = allPageWords(pdf);
    const words = pages.find((page) => page.some((w) => w.text === 'MESSAGES'))
      .filter((w) => !/^[.·]+$/.test(w.text));
    const rows = rowsOf(words);
    const find = (text) => rows.find((row) => row.text.includes(text));
    const messagesRow = find('MESSAGES');
    const left = messagesRow.words[0].xMin;
    const right = messagesRow.words.at(-1).xMax;
    const flushRight = (row, what) => assert.ok(Math.abs(row.words.at(-1).xMax - right) < 1, `${what} ends at ${row.words.at(-1).xMax}, not ${right}`);

    // The date stays on one line of its own, under its label, ending at the right edge.
    const date = find('WEDNESDAY,');
    assert.equal(date.text, 'WEDNESDAY, FEBRUARY 14, 2024');
    flushRight(date, 'the date');
    assert.ok(find('LONGEST').y < date.y);
    // Every line that starts a label starts at the left edge; none is centred.
    for (const label of ['LONGEST', 'REPLY', 'FEATHERSTONEHAUGH', 'SORRYS', 'LATEST']) {
      const row = rows.find((r) => r.words[0].text === label);
      assert.ok(row, `${label}: ${rows.map((r) => r.text).join(' / ')}`);
      assert.ok(Math.abs(row.words[0].xMin - left) < 1, `${label} starts at ${row.words[0].xMin}`);
    }
    flushRight(find('6 MINUTES'), 'the reply time');
    flushRight(find('LATEST'), 'the latest night');
    // A value longer than the line goes flush right alone, every line of it.
    const sorrys = rows.filter((r) => r.y > find('SORRYS').y && r.y < find('LATEST').y);
    assert.ok(sorrys.length >= 1 && sorrys[0].text.startsWith('9 YOU'), sorrys.map((r) => r.text).join(' / '));
    for (const row of sorrys) flushRight(row, row.text);
  });
});
