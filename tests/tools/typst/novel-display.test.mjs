// Display lines and small capitals as a typographer sets them: a title,
// subtitle, dedication, chapter title or receipt label that wraps is broken
// into lines of similar length, never leaving a runt; a receipt row's
// wrapped leader starts at the edge its label starts from; small capitals
// are the face's own letters, never capitals made smaller. Measured on the
// PDF that the real typst writes.

import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import {
  SAM, MAYA, design, messages, bookDocument, writeBook, compile, allPageWords, pageTexts, lines, rowsOf, FACES,
} from './novel-support.mjs';
import { pdfFonts } from './support.mjs';

/** The rows of the page whose text holds `marker`. */
function rowsOfPage(pdf, marker) {
  const page = allPageWords(pdf).find((words) => words.some((w) => w.text === marker));
  assert.ok(page, `no page holds ${marker}`);
  return rowsOf(page);
}

/** Rows from the one starting with `first` to the one ending with `last`. */
function between(rows, first, last) {
  const from = rows.findIndex((r) => r.words[0].text === first);
  const to = rows.findIndex((r, i) => i >= from && r.words.at(-1).text === last);
  assert.ok(from >= 0 && to >= from, `${first} … ${last}: ${rows.map((r) => r.text).join(' / ')}`);
  return rows.slice(from, to + 1);
}

/** Lines of similar length: the shortest at least `share` of the longest. */
function assertBalanced(rows, share, what) {
  assert.ok(rows.length >= 2, `${what} fits on one line: ${rows.map((r) => r.text).join(' / ')}`);
  const widths = rows.map((r) => r.width);
  assert.ok(Math.min(...widths) >= share * Math.max(...widths), `${what}: ${rows.map((r) => `${r.text} (${Math.round(r.width)})`).join(' / ')}`);
  assert.ok(rows.at(-1).words.length > 1, `${what} ends in a runt`);
}

const subtitle = 'Two and a half years of messages, sent mostly late at night and on Wednesdays';
const dedication = 'For Maya, who always answers, even at three in the morning on Wednesdays';

function frontBook(font, fields = {}) {
  return bookDocument({
    front: { title: 'Sam & Maya', colophon: subtitle, dedication: [dedication] },
    messages: messages([['2024-03-04 09:00', SAM, 'morning'], ['2024-03-04 09:05', MAYA, 'hello you']]),
    design: design({ font }),
    ...fields,
  });
}

describe('display lines are balanced', () => {
  for (const font of FACES) {
    test(`${font}: the subtitle, the dedication and a chapter's title break into lines of similar length`, (t) => {
      const book = frontBook(font, {
        edits: { chapters: [{ start: 'm1', title: 'The spring we painted the kitchen yellow, twice over' }] },
      });
      const pdf = compile(t, writeBook(t, book));
      assertBalanced(between(rowsOfPage(pdf, 'Two'), 'Two', 'Wednesdays'), 0.6, 'the subtitle');
      assertBalanced(between(rowsOfPage(pdf, 'For'), 'For', 'Wednesdays'), 0.6, 'the dedication');
      assertBalanced(between(rowsOfPage(pdf, 'kitchen'), 'The', 'over'), 0.5, 'the chapter title');
    });
  }

  test('a short subtitle stays on its one line, a title of one long word is not squeezed', (t) => {
    const book = frontBook('pagella', { front: { title: 'Featherstonehaughs', colophon: 'Since the lake', dedication: [] } });
    const texts = pageTexts(compile(t, writeBook(t, book)));
    assert.deepEqual(lines(texts[0]), ['Featherstonehaughs', 'Since the lake']);
  });
});

describe('the receipt', () => {
  test('a long label wraps balanced, and the leader of its value starts at the left edge like the label', (t) => {
    const book = bookDocument({
      messages: messages([['2024-02-14 09:00', SAM, 'morning'], ['2024-02-14 09:05', MAYA, 'hello']]),
      design: design({ chapters: 'none', receipt: true, receiptLines: [
        ['Reply time, Maximilian Featherstonehaugh', '6 minutes'],
        ['Reply time, Maximilian Alexander Featherstonehaugh of the Lake District', '12 minutes'],
      ] }),
    });
    const rows = rowsOfPage(compile(t, writeBook(t, book)), 'MESSAGES');
    const left = rows.find((r) => r.words[0].text === 'MESSAGES').words[0].xMin;
    for (const value of ['6 MINUTES', '12 MINUTES']) {
      const row = rows.find((r) => r.text.endsWith(value));
      assert.ok(/^[.·]/.test(row.words[0].text), `${value} shares its line with its label: ${row.text}`);
      assert.ok(Math.abs(row.words[0].xMin - left) < 0.5, `the leader before ${value} starts at ${row.words[0].xMin}, the labels at ${left}`);
    }
    const label = rows.filter((r) => r.y > rows.find((x) => x.text.endsWith('6 MINUTES')).y && r.y < rows.find((x) => x.text.endsWith('12 MINUTES')).y);
    assertBalanced(label, 0.5, 'the long label');
  });
});

describe('small capitals are the face\'s own', () => {
  for (const font of FACES) {
    test(`${font}: names, day headings and chapter numbers are set in small capitals of the face, read back in their letters' case`, (t) => {
      const book = frontBook(font, { front: { title: 'Sam & Maya', colophon: '', dedication: [] } });
      const pdf = compile(t, writeBook(t, book));
      const body = lines(pageTexts(pdf)[2]);
      // Capitals made smaller read back as capitals; the face's small
      // capitals are glyphs of the lower-case letters and read back as them.
      assert.ok(body.includes('Chapter 1'), body.join(' / '));
      assert.ok(body.includes('Monday, March 4'), body.join(' / '));
      assert.ok(body.some((line) => line.startsWith('Sam morning')), body.join(' / '));
      assert.ok(!body.some((line) => /\b(SAM|MAYA|MONDAY|CHAPTER)\b/.test(line)), body.join(' / '));
      if (font === 'libertinus') assert.ok(pdfFonts(pdf).some((name) => name.startsWith('LinLibertineO')), pdfFonts(pdf).join(', '));
    });
  }
});
