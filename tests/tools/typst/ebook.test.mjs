// templates/ebook/resolved.typ run the way the app runs it: eval of the
// <brimlow-ebook> metadata over the book document, giving the description
// the message tool turns into an EPUB.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { typst, tempDir, bookArguments, sampleBook, ebookTemplate, EBOOK_EXPRESSION, resolved } from './support.mjs';

const sample = JSON.parse(fs.readFileSync(sampleBook, 'utf8'));

/** Writes a variant of the sample book and returns its path. */
function variant(t, change = () => {}) {
  const book = structuredClone(sample);
  change(book);
  const file = path.join(tempDir(t), 'book with spaces.json');
  fs.writeFileSync(file, JSON.stringify(book));
  return file;
}

/** Every entry of a description, in reading order, with its chapter and day. */
function entries(description) {
  return description.chapters.flatMap((chapter) =>
    chapter.days.flatMap((day) => day.messages.map((entry) => ({ ...entry, chapter: chapter.title, day: day.day }))));
}

/** The text of an entry, its runs joined. */
const plain = (entry) => (Array.isArray(entry.text) ? entry.text.map((run) => run.text).join('') : entry.text);

test('the sample: front matter, a chapter a month, every day once with its label, every message in order', (t) => {
  const description = resolved(sampleBook);
  assert.equal(description.title, 'Sam & Maya');
  assert.equal(description.colophon, sample.front.colophon);
  assert.deepEqual(description.dedication, sample.front.dedication);
  assert.equal(description.language, 'en');
  assert.equal(description.author, 'Sam & Maya');
  assert.deepEqual(description.chapters.map((c) => c.title), [
    'January', 'February', 'March', 'April', 'May', 'June',
    'July', 'August', 'September', 'October', 'November', 'December',
  ]);
  const days = description.chapters.flatMap((c) => c.days);
  assert.deepEqual(days.map((d) => d.day), [...new Set(sample.messages.map((m) => m.at.slice(0, 10)))]);
  assert.equal(days[0].label, 'Monday, January 1');
  for (const chapter of description.chapters) {
    assert.ok(chapter.days.every((d) => d.day.slice(5, 7) === chapter.days[0].day.slice(5, 7)), chapter.title);
  }

  const printed = sample.messages.filter((m) => m.text || m.media);
  const all = entries(description);
  assert.equal(all.length, printed.length);
  const first = all[0];
  assert.deepEqual(
    { name: first.name, me: first.me, time: first.time, text: first.text },
    { name: 'Sam', me: true, time: '8:34 am', text: sample.messages[0].text },
  );
  all.forEach((entry, i) => {
    assert.equal(entry.day, printed[i].at.slice(0, 10));
    assert.equal(entry.text ?? null, printed[i].text ?? null);
    assert.deepEqual(entry.media, printed[i].media);
  });
});

test('the range, hidden messages and replaced texts are applied; a message left empty is dropped', (t) => {
  const inRange = sample.messages.filter((m) => m.at >= '2024-02-01' && m.at < '2024-04-01' && m.text);
  const [replaced, hidden, emptied] = [inRange[10], inRange[20], inRange[30]];
  const description = resolved(variant(t, (b) => {
    b.edits = {
      range: { from: '2024-02-01', to: '2024-03-31' },
      hidden: [hidden.id],
      text: { [replaced.id]: 'ZEBRA REPLACED', [hidden.id]: 'ZEBRA HIDDEN', [emptied.id]: '' },
    };
  }));
  assert.deepEqual(description.chapters.map((c) => c.title), ['February', 'March']);
  const all = entries(description);
  assert.ok(all.every((e) => e.day >= '2024-02-01' && e.day <= '2024-03-31'));
  assert.ok(all.some((e) => e.text === 'ZEBRA REPLACED'));
  assert.ok(!all.some((e) => e.text === 'ZEBRA HIDDEN'));
  assert.ok(!all.some((e) => e.text === emptied.text));
  const expected = sample.messages.filter((m) =>
    m.at >= '2024-02-01' && m.at < '2024-04-01' && (m.text || m.media) && m.id !== hidden.id && m.id !== emptied.id);
  assert.equal(all.length, expected.length);
});

test('bold: a whole message, a phrase of one, and words everywhere as whole words in any case', (t) => {
  const description = resolved(variant(t, (b) => {
    b.messages = b.messages.slice(0, 6);
    b.messages[0].text = 'I like c++ (yes) and Coffee and coffeehouse';
    b.messages[1].text = 'one two one';
    b.messages[2].text = 'all of it';
    b.edits = {
      words: ['COFFEE', 'c++ (yes)'],
      emphasis: [{ id: b.messages[1].id, phrase: 'one' }, { id: b.messages[2].id }],
    };
  }));
  const [a, b, c, d] = entries(description);
  assert.deepEqual(a.text, [
    { text: 'I like ', bold: false },
    { text: 'c++ (yes)', bold: true },
    { text: ' and ', bold: false },
    { text: 'Coffee', bold: true },
    { text: ' and coffeehouse', bold: false },
  ]);
  assert.deepEqual(b.text, [
    { text: 'one', bold: true },
    { text: ' two ', bold: false },
    { text: 'one', bold: true },
  ]);
  assert.deepEqual(c.text, [{ text: 'all of it', bold: true }]);
  assert.equal(typeof d.text, 'string', 'a text with nothing bold stays a plain string');
});

test('the user\'s chapters replace the months and move past hidden messages; messages before the first have none', (t) => {
  const opening = sample.messages.find((m) => m.at.startsWith('2024-03-01'));
  const later = sample.messages.find((m) => m.at.startsWith('2024-06-12'));
  const next = sample.messages[sample.messages.indexOf(later) + 1];
  const description = resolved(variant(t, (b) => {
    b.edits = {
      hidden: [later.id],
      chapters: [
        { start: opening.id, title: 'Spring' },
        { start: later.id, title: 'Summer' },
      ],
    };
  }));
  assert.deepEqual(description.chapters.map((c) => c.title), [null, 'Spring', 'Summer']);
  assert.equal(description.chapters[0].days[0].day, '2024-01-01');
  assert.equal(description.chapters[1].days[0].day, '2024-03-01');
  const summer = description.chapters[2].days[0].messages[0];
  assert.equal(summer.text, next.text, 'the chapter opens at the next message shown');
});

test('a chapter that begins before the range opens it', (t) => {
  const description = resolved(variant(t, (b) => {
    b.edits = {
      range: { from: '2024-05-01' },
      chapters: [
        { start: b.messages[0].id, title: 'From the start' },
        { start: b.messages.find((m) => m.at >= '2024-09-01').id, title: 'Autumn' },
      ],
    };
  }));
  assert.deepEqual(description.chapters.map((c) => c.title), ['From the start', 'Autumn']);
  assert.equal(description.chapters[0].days[0].day, '2024-05-01');
});

test('chapters by year, none at all, and months of several years', (t) => {
  const design = (chapters) => ({ font: 'pagella', chapters, receipt: true, cover: { style: 'cloth', color: 'oxblood' } });
  assert.deepEqual(resolved(variant(t, (b) => (b.design = design('year')))).chapters.map((c) => c.title), ['2024']);
  const none = resolved(variant(t, (b) => (b.design = design('none'))));
  assert.deepEqual(none.chapters.map((c) => c.title), [null]);
  const years = resolved(variant(t, (b) => {
    b.messages = b.messages.slice(0, 30);
    b.messages.at(-1).at = '2025-02-03T10:00:00';
  }));
  assert.deepEqual(years.chapters.map((c) => c.title), ['January 2024', 'February 2025']);
});

test('added pages stand before their message, and one at a hidden message moves to the next shown', (t) => {
  const withText = sample.messages.filter((m) => m.text);
  const [target, hidden, after] = [withText[100], withText[500], withText[501]];
  const description = resolved(variant(t, (b) => {
    b.edits = {
      hidden: [hidden.id],
      inserts: [
        { before: target.id, kind: 'page', text: 'A page for Valentine\'s' },
        { before: hidden.id, kind: 'page' },
        { before: target.id, kind: 'photo', text: 'not a page' },
      ],
    };
  }));
  const all = entries(description);
  const pages = all.filter((e) => 'page' in e);
  assert.deepEqual(pages.map((p) => p.page), ['A page for Valentine\'s', '']);
  const at = all.findIndex((e) => e.page === 'A page for Valentine\'s');
  assert.equal(all[at + 1].text, target.text);
  assert.equal(all[at].day, target.at.slice(0, 10));
  const moved = all.findIndex((e) => e.page === '');
  assert.equal(all[moved + 1].text, after.text);
});

test('attachments without text, and senders who are not among the people', (t) => {
  const description = resolved(variant(t, (b) => {
    b.messages = b.messages.slice(0, 3);
    b.messages[0] = { id: 'x1', at: '2024-01-01T00:05:00', from: 'me', media: ['photo', 'photo'] };
    b.messages[1].from = 'stranger';
    b.messages[1].who = 'Cousin Jo';
    b.messages[2].from = 'nobody';
    delete b.messages[2].who;
  }));
  const [media, who, nobody] = entries(description);
  assert.deepEqual(media.media, ['photo', 'photo']);
  assert.equal('text' in media, false);
  assert.equal(media.time, '12:05 am');
  assert.deepEqual([who.name, who.me], ['Cousin Jo', false]);
  assert.equal(nobody.name, 'nobody');
});

test('a range that leaves nothing gives no chapters', (t) => {
  const description = resolved(variant(t, (b) => (b.edits = { range: { from: '2030-01-01' } })));
  assert.deepEqual(description.chapters, []);
});

test('a missing input or a malformed document stops with a sentence naming it', (t) => {
  const run = typst(['eval', '--root', '/', EBOOK_EXPRESSION, '--in', ebookTemplate]);
  assert.equal(run.status, 1);
  assert.match(run.stderr, /the input \\"book\\" is missing/);
  const cases = [
    [(b) => delete b.edits, 'the document has no \\"edits\\"'],
    [(b) => (b.messages[4].at = 'yesterday'), 'messages[4].at is not a time'],
    [(b) => (b.messages[5].at = '2024-02-30T09:00:00'), 'messages[5].at is not a time'],
    [(b) => (b.edits = { hidden: [3] }), 'edits.hidden[0] is not a string'],
    [(b) => (b.edits = { text: { a: 1 } }), 'edits.text.a is not a string'],
    [(b) => (b.design = { font: 'pagella', chapters: 'weekly', receipt: true, cover: {} }), 'design.chapters is \\"weekly\\"'],
  ];
  for (const [change, message] of cases) {
    const failed = typst(['eval', ...bookArguments(variant(t, change)), EBOOK_EXPRESSION, '--in', ebookTemplate]);
    assert.equal(failed.status, 1);
    assert.ok(failed.stderr.includes(`panicked with: "book document: ${message}`), `${message}\n${failed.stderr}`);
  }
});
