#!/usr/bin/env node
// Writes samples/sample-book.json: a synthetic book document of
// one year of messages between two invented people, Sam (the user, "me")
// and Maya. Every run writes the same bytes: the only randomness is a
// seeded generator. No real person's messages are in it.
//
// The document is written as brimlow-core's "export" writes the book of a
// one-to-one conversation (tools/brimlow-core/bookwriter.cpp): the people
// are "me" and "them", each message says who wrote it under "from" and
// "who", and the stats name the first and last days. The counts the app
// and the message tool make of a book (who starts the day, the sorrys) go
// by those ids, so a sample written otherwise would contradict itself.
// Its front matter is the user's own, as the app writes it once edited.
//
//   node samples/make-sample.mjs [output.json]

import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const out = process.argv[2] ?? path.join(here, 'sample-book.json');

const YEAR = 2024;
const TARGET = 2000; // messages, roughly
const ME = 'me';
const MAYA = 'them';

// mulberry32: a small seeded generator, so the sample never changes.
function generator(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
const random = generator(20240101);
const pick = (list) => list[Math.floor(random() * list.length)];
const chance = (p) => random() < p;
const between = (lo, hi) => lo + Math.floor(random() * (hi - lo + 1));

// Slots that vary the lines below.
const fill = {
  food: ['ramen', 'dumplings', 'tacos', 'that lentil soup', 'pad see ew', 'pizza', 'shakshuka', 'pho', 'curry', 'grilled cheese'],
  place: ['the bakery on Alder St', 'the river path', 'the market', 'the little bookshop', 'the park', 'Juniper Café', 'the pier', 'the library'],
  show: ['the baking show', 'that detective series', 'the documentary about octopuses', 'the space movie', 'the cooking thing', 'the Danish drama'],
  thing: ['umbrella', 'charger', 'scarf', 'keys', 'library card', 'headphones', 'water bottle', 'sunglasses'],
  time: ['6', '6:30', '7', '7:30', '8'],
  weather: ['grey and drizzly', 'gorgeous', 'so windy', 'freezing', 'weirdly warm', 'foggy'],
};
const slot = (text) => text.replace(/\{(\w+)\}/g, (_, key) => pick(fill[key]));

// Exchanges: short scripted back-and-forths; "A" speaks first, "B" answers.
const exchanges = [
  ['A:good morning ☀️', 'B:morning!! did you sleep ok', 'A:like a rock. you?', 'B:the neighbours’ dog had opinions at 5am 🐶', 'A:oh no', 'B:coffee will fix it ☕'],
  ['A:dinner tonight?', 'B:yes please. {food}?', 'A:perfect', 'B:{time}?', 'A:see you then ❤️'],
  ['A:it’s {weather} out', 'B:I know, I saw', 'A:taking the long way home anyway', 'B:bring your {thing} this time 😂'],
  ['A:have you started {show} yet', 'B:no!! wait for me', 'A:I’m on episode 2', 'B:SAM', 'A:I’ll rewatch it with you, promise 🤞'],
  ['A:I left my {thing} at your place', 'B:I know, it’s on the shelf', 'A:you’re the best', 'B:I am'],
  ['A:guess where I am', 'B:{place}?', 'A:how did you know', 'B:you have a type 😌'],
  ['A:running late, sorry!!', 'B:no worries', 'A:ten minutes', 'B:I got us a table by the window'],
  ['A:what are you doing this weekend', 'B:nothing yet. you?', 'A:want to go to {place}', 'B:only if we get {food} after', 'A:deal 🤝'],
  ['A:can’t stop thinking about {food}', 'B:it’s 10am', 'A:and?', 'B:fair 😂'],
  ['A:home safe', 'B:good ❤️ sleep well', 'A:you too', 'B:🌙'],
  ['A:did you call your mum back', 'B:not yet', 'A:do it now before you forget', 'B:calling!', 'B:she says hi 👋'],
  ['A:the bus just drove past me', 'B:noooo', 'A:next one in 20', 'B:want me to come get you?', 'A:you’re an angel 😇'],
  ['A:look at the sky right now', 'B:🌅🌅🌅', 'A:right??', 'B:pink and orange, unreal'],
  ['A:I made too much {food}', 'B:say no more', 'A:door’s open 🚪', 'B:on my way'],
  ['A:work is a lot today', 'B:want to talk about it later?', 'A:yes. and also not', 'B:understood. walk at {time}?', 'A:yes 🙏'],
  ['A:found a bookshop cat 🐈', 'B:PHOTO PLEASE', 'A:she won’t hold still', 'B:tragic'],
  ['A:hi', 'B:hi you', 'A:that’s all', 'B:😊'],
  ['A:how’s your day going', 'B:slow. yours?', 'A:better now', 'B:smooth 😏'],
  ['A:do we need anything from the shop', 'B:grocery list:\n- eggs\n- oat milk\n- lemons\n- something chocolate 🍫', 'A:on it', 'B:the good chocolate', 'A:obviously'],
  ['A:the plant is alive 🌱', 'B:the one I gave up on??', 'A:new leaf!', 'B:proud of you both'],
];

// Lines that stand alone or answer anything.
const reactions = ['haha', 'ok!', 'yes', 'lol', '😂', '❤️', 'omg', 'same', 'true', 'wait what', 'nooo', 'hahaha yes', 'ok ok', '🥺', '🙌', 'mhm', 'love that', 'see you soon', 'xx', '👍'];

// Long messages: the sample needs paragraphs that wrap over many lines.
const longs = [
  'Okay so I have been thinking about what you said last night, about how we never really plan anything and just let the weekends happen to us. I don’t think that’s a bad thing? Some of my favourite days this year were the ones where we woke up with no idea what we were doing and ended up somewhere strange. But I also think it would be nice to have one thing to look forward to every month. Nothing big. A walk somewhere new, a recipe we’ve never tried, a day trip. What do you think?',
  'Long day. The meeting ran two hours over and then the train sat outside the station for forty minutes with no explanation, so I just stood there reading the same page of my book over and over. Anyway I’m home now, I’ve made tea, and I’m going to sit on the floor and not move for a while. Tell me something good that happened to you today 🙏',
  'I keep meaning to tell you this and forgetting: when I was small my grandmother had a radio in her kitchen that only got one station, and it played old songs all afternoon while she cooked. The song that was playing in the café today was one of them and I had to stand outside for a minute because I got completely undone by it. Anyway. That’s the story. I miss her.',
  'Plan for Saturday, tell me if any of this is wrong: we get up whenever, coffee at Juniper, then the market before it gets busy, then we walk along the river until one of us gets hungry, which will be you, at about 12:15. After that, nothing. Absolutely nothing. Maybe a nap. I am putting it in writing so you can hold me to it.',
  'Just finished the book you lent me and I have FEELINGS. I was not ready for the last chapter at all. I read it on the bus and the man next to me definitely saw me wipe my eyes. Why didn’t you warn me?? Also I want to talk about the sister, because I think she knew the whole time and I need you to agree with me.',
  'I know I’ve been quiet this week. It’s not you, it’s just that everything at work piled up at once and I’ve been running on empty. I didn’t want you to think I was pulling away. I’m really grateful that you just let me be quiet without making it a thing. Can we have a slow Sunday? I’ll make pancakes.',
  'Random thought on the walk home: it’s been almost a year of this, of us texting each other about nothing all day, and I think it might be my favourite thing about my life right now. The nothing. The “did you eat” and the “look at this dog” and the “home safe”. Anyway I’m being soft. Ignore me. Don’t ignore me.',
  'Update on the great balcony tomato project: three tomatoes, one of which a bird has already taken a single, insulting bite out of. The basil is thriving. The mint has declared war on everything else in the pot. I am choosing to see this as a success overall and I would like you to agree with me.',
];

// Days that carry their own lines (month-day -> [speaker, text] pairs).
const special = {
  '01-01': [['B', 'Happy new year!! 🎆🥂'], ['A', 'happy new year ❤️ this one’s going to be good'], ['B', 'I have a feeling too']],
  '02-14': [['A', 'happy valentine’s day 🌹'], ['B', 'you remembered!! 🥰'], ['A', 'I have a calendar'], ['B', 'dinner is on me tonight']],
  '03-09': [['B', 'I had the best time today'], ['A', 'me too. like, really'], ['B', 'Sam'], ['A', 'yeah?'], ['B', 'I love you'], ['A', 'I love you too ❤️ I’ve wanted to say it for weeks']],
  '06-12': [['A', 'HAPPY BIRTHDAY MAYA 🎂🎉🎈'], ['B', 'you’re up early!!'], ['A', 'had to be first'], ['B', 'you were ❤️']],
  '08-17': [['A', 'we’re actually on holiday 🏖️'], ['B', 'sea swim before breakfast?'], ['A', 'you’re a monster. yes']],
  '10-31': [['B', 'costume update: I am a ghost 👻'], ['A', 'a sheet with holes?'], ['B', 'a SOPHISTICATED sheet with holes']],
  '12-25': [['A', 'merry christmas 🎄✨'], ['B', 'merry christmas my love'], ['A', 'thank you for this year'], ['B', 'thank you for this year ❤️']],
};

const people = [
  { id: ME, name: 'Sam', me: true },
  { id: MAYA, name: 'Maya', me: false },
];

// Who speaks first in an exchange.
const speakers = () => (chance(0.5) ? { A: ME, B: MAYA } : { A: MAYA, B: ME });

const messages = [];
let clock; // seconds since midnight of the current day

function add(day, from, fields) {
  clock += between(20, 600);
  if (clock > 86399) clock = 86399;
  const h = Math.floor(clock / 3600);
  const m = Math.floor((clock % 3600) / 60);
  const s = clock % 60;
  const pad = (n) => String(n).padStart(2, '0');
  messages.push({ id: '', at: `${day}T${pad(h)}:${pad(m)}:${pad(s)}`, from, who: from, ...fields });
}

function exchange(day, lines, who) {
  for (const line of lines) {
    const [speaker, text] = line.split(/:(.*)/s);
    add(day, who[speaker], { text: slot(text) });
    if (chance(0.12)) add(day, who[speaker === 'A' ? 'B' : 'A'], { text: pick(reactions) });
  }
}

// Days of the year and how busy each is: quiet stretches and busy ones.
const days = [];
for (let d = new Date(Date.UTC(YEAR, 0, 1)); d.getUTCFullYear() === YEAR; d.setUTCDate(d.getUTCDate() + 1)) {
  days.push(d.toISOString().slice(0, 10));
}
const weights = days.map((day) => {
  const key = day.slice(5);
  if (special[key]) return 3;
  if (day >= `${YEAR}-04-20` && day <= `${YEAR}-04-27`) return 0; // a week apart with no signal
  return chance(0.2) ? 0 : 0.4 + random() * 1.6;
});
const total = weights.reduce((a, b) => a + b, 0);

// Each day writes until the running count reaches its share of the target,
// so that an exchange running over on one day is made up on the next.
let share = 0;
for (const [i, day] of days.entries()) {
  if (weights[i] === 0) continue;
  share += weights[i];
  const goal = Math.round((share / total) * TARGET);
  clock = between(7 * 3600, 10 * 3600);
  const key = day.slice(5);
  if (special[key]) {
    const who = speakers();
    for (const [speaker, text] of special[key]) add(day, who[speaker], { text });
  }
  while (messages.length < goal) {
    const roll = random();
    const who = speakers();
    if (roll < 0.06) {
      add(day, who.A, { text: pick(longs) });
      add(day, who.B, { text: pick(['❤️', 'reading this twice', 'I love this', 'yes. all of it.', 'come here 🫂']) });
    } else if (roll < 0.1) {
      const caption = chance(0.5) ? { text: pick(['look!!', 'today 📸', 'this view', 'guess where', 'for you 🌷']) } : {};
      add(day, who.A, { ...caption, media: ['photo'] });
      add(day, who.B, { text: pick(['stunning', 'omg', 'I want to be there', '😍', 'frame it']) });
    } else {
      const lines = pick(exchanges);
      exchange(day, lines, who);
    }
    clock += between(1800, 3 * 3600); // the next conversation of the day
  }
}

messages.forEach((m, i) => (m.id = `m${String(i + 1).padStart(5, '0')}`));

const book = {
  format: 1,
  style: 'novel',
  front: {
    title: 'Sam & Maya',
    colophon: 'A year of messages',
    dedication: ['For Maya,', 'who always texts back.'],
  },
  people,
  messages,
  edits: {},
  stats: { messages: messages.length, first: messages[0].at.slice(0, 10), last: messages[messages.length - 1].at.slice(0, 10) },
};

fs.writeFileSync(out, `${JSON.stringify(book, null, 1)}\n`);
console.log(`wrote ${messages.length} messages over ${new Set(messages.map((m) => m.at.slice(0, 10))).size} days to ${out}`);
