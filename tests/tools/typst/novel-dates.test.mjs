// Dates and times as the reader writes them: the book document carries the
// date patterns of the user's locale, and the pages, the covers and the
// ebook follow their order and clock in English words. A document without
// them prints as a US English reader writes dates, as books always have.

import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { tempDir, resolved } from './support.mjs';
import {
  SAM, MAYA, design, messages, bookDocument, writeBook, compile, compileFailure, compiledCover, pageTexts, layoutText, lines,
  standingLines,
} from './novel-support.mjs';

// As ICU 72 gives them for en_GB, the patterns the app writes for a British
// reader.
const BRITISH = { day: 'EEEE d MMMM', date: 'd MMMM y', month: 'MMMM y', time: 'HH:mm' };
// As ICU 72 gives them for en_US: a narrow no-break space before the "a".
const AMERICAN = { day: 'EEEE, MMMM d', date: 'MMMM d, y', month: 'MMMM y', time: 'h:mm\u202fa' };

/** Two years of a few messages: a morning, an evening, a chapter a month. */
function twoYears(dates, fields = {}) {
  return bookDocument({
    messages: messages([
      ['2022-06-14 07:05', SAM, 'morning, did you sleep at all'],
      ['2022-06-14 19:20', MAYA, 'barely, the neighbours had a party'],
      ['2023-01-03 00:07', SAM, 'happy new year, a bit late'],
    ]),
    design: design({ receipt: true, receiptLines: [['Latest night', '3:12 AM'], ['Longest streak', '12 days']] }),
    ...(dates ? { dates } : {}),
    ...fields,
  });
}

/** The non-empty lines of every page, joined page by page. */
const bookLines = (pdf) => pageTexts(pdf).map(lines);

describe('the printed book', () => {
  test('a British reader\'s book heads its days, pages and chapters day first and keeps the 24-hour clock', (t) => {
    const pages = bookLines(compile(t, writeBook(t, twoYears(BRITISH))));
    const all = pages.flat();
    // Day headings, chapter titles with their years, times in the line.
    assert.ok(all.includes('Tuesday 14 June'), all.join(' / '));
    assert.ok(all.includes('Tuesday 3 January'), all.join(' / '));
    assert.ok(all.includes('June 2022') && all.includes('January 2023'));
    assert.ok(all.some((line) => line.endsWith('07:05')), all.join(' / '));
    assert.ok(all.some((line) => line.endsWith('19:20')));
    assert.ok(all.some((line) => line.endsWith('00:07')));
    assert.ok(!all.some((line) => / [ap]m$/.test(line)), 'no twelve-hour time is left');
    // The receipt: the stretch of days, and the latest night on the reader's clock.
    const receipt = pages.find((page) => page.some((line) => line.startsWith('MESSAGES')));
    assert.ok(receipt.includes('14 June 2022 – 3 January 2023'), receipt.join(' / '));
    assert.ok(receipt.some((line) => /^LATEST NIGHT[ .]*03:12$/.test(line)), receipt.join(' / '));
    assert.ok(receipt.some((line) => /^LONGEST STREAK[ .]*12 DAYS$/.test(line)));
  });

  test('the running head of a page that goes on with a day names it day first', (t) => {
    const long = 'we walked all the way round the lake and back again, and the dog never once stopped';
    const rows = Array.from({ length: 60 }, (_, i) => [`2022-06-14 ${String(8 + Math.floor(i / 6)).padStart(2, '0')}:${String((i % 6) * 9).padStart(2, '0')}`, i % 2 ? MAYA : SAM, long]);
    const pages = bookLines(compile(t, writeBook(t, bookDocument({ messages: messages(rows), design: design(), dates: BRITISH }))));
    const heads = pages.filter((page) => page.includes('14 June 2022'));
    assert.ok(heads.length >= 2, pages.map((page) => page.slice(0, 2).join(' | ')).join(' / '));
    assert.ok(!pages.flat().some((line) => line.includes('June 14')));
  });

  test('a book without dates and a US reader\'s book print what books always printed', (t) => {
    const without = pageTexts(compile(t, writeBook(t, twoYears(null))));
    const american = pageTexts(compile(t, writeBook(t, twoYears(AMERICAN))));
    assert.deepEqual(american, without);
    const all = without.flatMap(lines);
    for (const expected of ['Tuesday, June 14', 'June 2022', 'June 14, 2022 – January 3, 2023']) {
      assert.ok(all.includes(expected), `${expected}: ${all.join(' / ')}`);
    }
    assert.ok(all.some((line) => line.endsWith('7:05 am')));
    assert.ok(all.some((line) => line.endsWith('7:20 pm')));
    assert.ok(all.some((line) => line.endsWith('12:07 am')));
    assert.ok(all.some((line) => /^LATEST NIGHT[ .]*3:12 AM$/.test(line)));
  });

  test('the chat-room layout keeps its time column on the 24-hour clock', (t) => {
    const book = twoYears(BRITISH, { design: design({ layout: 'chatroom', chapters: 'none' }) });
    const all = standingLines(layoutText(compile(t, writeBook(t, book))));
    assert.ok(all.some((line) => /^07:05 sam: morning/.test(line)), all.join(' / '));
    assert.ok(all.some((line) => /^19:20 maya: barely/.test(line)), all.join(' / '));
  });

  test('patterns of other locales keep their order and punctuation, quoted words included', (t) => {
    const german = { day: 'EEEE, d. MMMM', date: 'd. MMMM y', month: 'MMMM y', time: 'HH:mm \'Uhr\'' };
    const all = bookLines(compile(t, writeBook(t, twoYears(german)))).flat();
    assert.ok(all.includes('Tuesday, 14. June'), all.join(' / '));
    assert.ok(all.some((line) => line.endsWith('07:05 Uhr')), all.join(' / '));
    const french = { day: 'EEEE d MMMM', date: 'd MMMM y', month: 'MMMM y', time: 'HH:mm' };
    assert.ok(bookLines(compile(t, writeBook(t, twoYears(french)))).flat().includes('Tuesday 14 June'));
  });

  test('dates that are not patterns stop the book with a sentence naming them', (t) => {
    assert.match(compileFailure(t, writeBook(t, twoYears({ ...BRITISH, time: 24 }))), /dates\.time/);
    assert.match(compileFailure(t, writeBook(t, twoYears('en-GB'))), /dates is not an object/);
  });
});

describe('the covers and the ebook', () => {
  /** The text of a cover's front in a design. */
  function coverFront(t, dates, style) {
    const book = twoYears(dates);
    book.design.cover.style = style;
    const front = compiledCover(writeBook(t, book), { pages: '100', front: 'true' }, path.join(tempDir(t), 'front.pdf'));
    return standingLines(layoutText(front));
  }

  test('a cover that dates the book dates it as the reader does', (t) => {
    assert.ok(coverFront(t, BRITISH, 'paper').some((line) => line.endsWith('14 June 2022')));
    assert.ok(coverFront(t, null, 'paper').some((line) => line.endsWith('June 14, 2022')));
    // The slip stands askew, so its words are read without their rows.
    const slip = coverFront(t, BRITISH, 'receipt').join(' ');
    assert.ok(slip.includes('14 June 2022 – 3 January 2023'), slip);
    assert.ok(slip.includes('03:12') && !slip.includes('3:12 AM'), slip);
    assert.ok(coverFront(t, null, 'receipt').join(' ').includes('3:12 AM'));
  });

  test('the ebook heads its days and writes its times as the printed book does', (t) => {
    const resolve = (dates) => resolved(writeBook(t, twoYears(dates)));
    const british = resolve(BRITISH);
    assert.deepEqual(british.chapters.map((c) => c.title), ['June 2022', 'January 2023']);
    const days = british.chapters.flatMap((c) => c.days);
    assert.deepEqual(days.map((d) => d.label), ['Tuesday 14 June', 'Tuesday 3 January']);
    assert.deepEqual(days.flatMap((d) => d.messages.map((m) => m.time)), ['07:05', '19:20', '00:07']);

    const without = resolve(null);
    assert.deepEqual(resolve(AMERICAN), without);
    assert.deepEqual(without.chapters.flatMap((c) => c.days).flatMap((d) => d.messages.map((m) => m.time)),
      ['7:05 am', '7:20 pm', '12:07 am']);
  });
});
