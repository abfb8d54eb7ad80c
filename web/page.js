// The web page: a terminal (xterm.js) that plays the game built to WebAssembly
// (wander-game.js, from the same sources as the console game). The keys the player types, or the
// command buttons type for them, go to the game a line at a time, as a console in line mode
// sends them. What the game writes goes to the terminal, its lines broken between words to the
// terminal's width, and, as plain text, to a live region that screen readers announce (xterm.js's
// own screen-reader mode stays off, so that nothing is announced twice).
//
// The world comes from world.js (the bundled or published world), from ?world=URL on the same
// site, from "Open world…", or from a file dropped on the page; each starts a new game.
'use strict';

// The pieces of the game's text: an escape sequence (CSI, OSC, or ESC and one character), a line
// end, a run of blanks, a word, or one other character.
const textPieces = new RegExp(
  '\x1b(?:\\[[0-?]*[ -/]*[@-~]?|\\][^\x07\x1b]*(?:\x07|\x1b\\\\)?|[ -/]*[0-~]?)' +
  '|\\r?\\n|[ \\t]+|[^\\s\x1b]+|[^]', 'g');

// Begin generated widths: text/unicode/make_tables.py, Unicode 15.0.0, as display_width() in C++.
// Each range: its distance from the end of the one before and its length (none for one
// character), in base 36.
const zeroWidthRanges = (
  '0.v 2o.w e gj.33 7o.6 7c.18 2 2.1 2.1 2 1l.5 b.a 2 1b.k h 2u.7 2.5 3.1 2.3 y 2 v.q 2k.a ' +
  '1n.8 a p.3 2.8 2.2 2.4 18.2 1h.1 7.7 17.1k 1k 2 5.7 5 4.6 b.1 u 1n 5.3 9 l.1 r 3.1 1m 5.1 ' +
  '5.1 3.2 4 v.1 4 c.1 1m 5.4 2.1 5 l.1 n.5 2 1n 3 2.3 9 8.1 c.1 v 1q d 1f 4 1k 2.2 6.2 2.3 ' +
  '8.1 c.1 u 1n 3 7 6.1 l.1 t.1 1m.1 5.3 9 l.1 u 21 8.2 2 2j 3.6 d.7 2r 3.8 c.6 22.1 s 2 2 ' +
  '1k.d 2.4 2.1 6.a 2.z a 2v.3 2.5 2.1 3.1 q.1 5.2 h.3 e 3.1 7 g 5f.4f 9q.2 qb.2 u.1 v.1 v.1 ' +
  '1t.1 2.6 9 3.a a 1a.4 3a.1 z 3b.2 5.1 a 7.2 64.1 3 1n 2.6 2 2 3.7 7.9 3 1d.u 1e.3 1d 2.4 2 ' +
  '6 15.8 d.1 x.3 3.1 2.2 1l 2.1 4 2.2 1n.7 3.1 49.2 2.c 2.6 5 7 4.1 5j.1r ek.4 r.4 1e.4 2.9 ' +
  '2p.w 2db.2 3y 2p.v ff.3 30.1 n9x.3 2.9 x.1 29.1 7l 4 5 q.1 6 48.1 r.h e 13.7 q.a 1b.2 1d ' +
  '3.3 3.1 14 1w.5 3.1 3.1 d 9 1c 1g 2.2 3.1 6.1 2 17.1 9 6n 3 5 8n7.27 6xr ki.f h.f 5s 6y.2 ' +
  'ea 6b 46.4 1af.2 2.1 6.3 15.2 5 4m.1 fy.3 as.1 29.2 1z.a 1e.3 3g 1j.e 16 3.1 b.2 1e.3 3.1 ' +
  '3 5 b 1f.2 11.4 2.7 1r d.1 1h.8 b.3 3 2o.2 3 2.1 7 3 4e 4.7 m.1 1m.1 4 12.6 4.4 5g.7 3.2 2 ' +
  'o 2d.5 2 5.1 2.1 6n.3 7.1 2.1 s.1 2e.7 3 2.1 2z 2 3.5 2 2u.2 3.3 2.4 78.8 2.1 75.1 2 5 ' +
  '41.3 3.1 5 x.9 15.5 3.3 9 a.5 3.2 1b.c 2.1 bb.6 2.5 2 2b.l 3.6 2.1 2.1 3f.5 4 2.1 2.6 2 ' +
  '21.1 4 2 9o.1 c.1 1h.4 6 2 44u.g 7.e asb.4 1o.6 t5 1s.3 2a f5l.1 2.3 3ml.19 3.m f5.2 a.f ' +
  '3.6 v.3 45.2 1j0.1i 5.1d 9 f n.4 2.e 11t.6 2.g 3.6 2.1 2.4 2t 4h.6 ag 1q.3 e5.3 rl.6 32.6 ' +
  'gzav v.2n 3l.6n ');
const wideRanges = (
  '3cw.2n 3i3.1 e.1 5b.3 4 3 ei.1 m.1 1f.b 18 k e 9.1 i.1 6.1 9 6 m 8.1 2 5 3 8 5.1 t 10 2 ' +
  '5.2 2 1q.2 p f nw.1 1g 5 mj.p 2.2g d.5x r.b 5.15 5.g 3.2d 5.2s 6.16 2.2l 2.2b d.1a 2.13 ' +
  '9.5f3 1t.h3g 4.1i wq.s hw.8mb 6l9.e7 lt.9 n.y 2.i 2.3 46.2n 3k.6 m4a.3 d.1 f.4qf 9.yd 17.8 ' +
  '6w8.3 2.6 2.1 2.82 g u.2 3 f.3 9.az c21 5n 5b 3.9 2u.2 e.17 5.8 8.1 f.5 4b.w d.8 2.1x 2.l ' +
  'd.16 5.4 d.g 4 4.1y 2 2.56 3.1q e.3 2.n j r.1 e 2f.2c 1d.1x 7 4.2 3.2 5.3 c.1 8.8 6c.b 5 ' +
  '7w.1a 2.9 2.54 35.c 4.8 8.19 2.6 9.d 5.8 8.8 zs.1ekd 3.1ekd ');
// End generated widths

// The ranges of a generated list, as [first, last] pairs in order.
function parseRanges(list) {
  const ranges = [];
  let end = 0;
  for (const range of list.trim().split(' ')) {
    const [gap, length = 0] = range.split('.').map((digits) => parseInt(digits, 36));
    ranges.push([end + gap, end + gap + length]);
    end += gap + length;
  }
  return ranges;
}
const zeroWidth = parseRanges(zeroWidthRanges);
const wide = parseRanges(wideRanges);

function inRanges(ranges, point) {
  let low = 0;
  let high = ranges.length;
  while (low < high) {
    const middle = (low + high) >> 1;
    if (ranges[middle][1] < point) low = middle + 1;
    else high = middle;
  }
  return low < ranges.length && ranges[low][0] <= point;
}

// The columns a terminal gives `text`, as display_width() counts them in the game.
function textWidth(text) {
  let width = 0;
  for (const c of text) {
    const point = c.codePointAt(0);
    if (point >= 0x20 && point < 0x7f) width += 1;
    else if (!inRanges(zeroWidth, point)) width += inRanges(wide, point) ? 2 : 1;
  }
  return width;
}

// The terminal's writes, in order. A piece may be a function, called once the terminal has drawn
// everything written before it, that returns the text to write then: so the line editor erases
// exactly the cells a character took, and a line breaks where the cursor really stands. Only
// the terminal knows those: a wide character takes two cells, a tab up to eight, and one that
// does not fit at a row's end goes to the next row.
class Screen {
  constructor(terminal) {
    this.terminal = terminal;
    this.queue = [];
    this.waiting = false;
    this.stopped = false;  // set when another game takes the terminal: nothing more is written
  }

  // Writes `piece`, a string or such a function; calls `drawn`, if given, once it is drawn.
  write(piece, drawn) {
    this.queue.push([piece, drawn]);
    while (!this.waiting && !this.stopped && this.queue.length > 0) {
      const [next, then] = this.queue.shift();
      if (typeof next === 'string') {
        this.terminal.write(next, then);
      } else {
        this.waiting = true;
        this.terminal.write('', () => {
          this.waiting = false;
          this.queue.unshift([next(), then]);
          this.write('');
        });
      }
    }
  }

  // The cell the cursor stands in, counted along the rows from the start of `marker`'s row.
  cursorCell(marker) {
    const buffer = this.terminal.buffer.active;
    return (buffer.baseY + buffer.cursorY - marker.line) * this.terminal.cols + buffer.cursorX;
  }

  // The escape sequence that puts the cursor in `cell` (as cursorCell counts it).
  moveTo(marker, cell) {
    const cols = this.terminal.cols;
    const row = marker.line + Math.floor(cell / cols) - this.terminal.buffer.active.baseY;
    return `\x1b[${row + 1};${(cell % cols) + 1}H`;
  }
}

// `text` with a line end put before each word that would not fit the rest of its row, on a
// terminal `cols` wide whose cursor stands in column `column` (from 0): lines break between
// words, never inside one, and blanks that would start a row are left out. A word longer than a
// row runs on into the next. A wide character takes two columns (textWidth).
function wrapWords(text, column, cols) {
  let out = '';
  for (const [piece] of text.matchAll(textPieces)) {
    let width = 0;
    if (piece[0] === '\x1b') {
      const home = /^\x1b\[\d*;?(\d*)H$/.exec(piece);
      if (home) column = Math.max(Number(home[1]) - 1, 0);
    } else if (piece.endsWith('\n') || piece === '\r') {
      column = 0;
    } else if (piece[0] === '\t' || piece[0] === ' ') {
      // A tab goes on to the next multiple of eight.
      for (const c of piece) width = c === '\t' ? ((column + width) | 7) + 1 - column : width + 1;
      if (column + width > cols) {
        out += '\r\n';
        column = 0;
        continue;
      }
    } else {
      width = textWidth(piece);
      if (column > 0 && column + width > cols) {
        out += '\r\n';
        column = 0;
      }
    }
    column = column + width > cols ? (column + width) % cols : column + width;
    out += piece;
  }
  return out;
}

// The live region that screen readers announce: the game's text as plain text, a paragraph a
// line, without escape sequences; a blanked screen starts a new passage. Only the latest
// passages are kept.
class Transcript {
  constructor(element) {
    this.element = element;
    this.element.replaceChildren();
    this.passage = null;
    this.paragraph = null;
    this.newPassage();
  }

  newPassage() {
    if (this.passage && !this.passage.hasChildNodes()) return;
    this.passage = this.element.appendChild(document.createElement('div'));
    this.paragraph = null;
    while (this.element.childElementCount > 20) this.element.firstElementChild.remove();
  }

  add(text) {
    for (const [piece] of text.matchAll(textPieces)) {
      if (piece[0] === '\x1b') {
        if (/^\x1b(\[[23]J|c)$/.test(piece)) this.newPassage();
      } else if (piece.endsWith('\n')) {
        this.paragraph = null;
      } else {
        const plain = piece.replace(/[\0-\x08\x0a-\x1f\x7f]/g, '');
        if (plain === '') continue;
        if (!this.paragraph) this.paragraph = this.passage.appendChild(document.createElement('p'));
        this.paragraph.append(plain);
      }
    }
  }
}

// The terminal's keyboard in line mode: typing echoes, Backspace erases a character and Ctrl+U
// the whole line, Up and Down bring back the lines sent before, Enter sends the line with its
// line end; Ctrl+D on an empty line ends the
// input, Ctrl+C stops the game. The game reads the bytes sent, as many as it asks for, and waits
// when there are none. What is typed after a line end waits until the game has read that line
// and waits for keys again, so that a pasted line shows after the answer to the one before, as
// if the player had typed it then.
class LineKeyboard {
  constructor(screen, { interrupt, waiting, lineSent }) {
    this.screen = screen;
    this.interrupt = interrupt;
    this.waiting = waiting;    // called when the game waits for keys
    this.lineSent = lineSent;  // called with each line sent, without its line end
    this.ahead = [];    // characters typed and not yet taken into the line
    this.held = false;  // whether a line was sent that the game has not yet asked past
    this.line = [];     // the line's characters, each with the cell after it once drawn
    this.start = null;  // the cell the line starts in, once drawn
    this.marker = null; // the row that cells are counted from
    this.sent = [];     // bytes sent and not yet read
    this.ended = false;
    this.wake = null;   // resolves the game's read that waits
    this.history = [];  // the lines sent, none empty, none the same as the one before it
    this.shown = 0;     // the line of history shown, or history.length for the line typed
    this.draft = '';    // the line typed, kept while one of history is shown
  }

  // Takes what the terminal reports as typed: one key, a key's escape sequence, or a paste.
  type(typed) {
    // By characters, not UTF-16 units, so that Backspace takes back a whole one.
    this.ahead.push(...Array.from(typed));
    const data = this.ahead;
    let i = 0;
    while (i < data.length && !this.held) {
      const c = data[i++];
      if (c === '\r' || c === '\n') {
        // A pasted CR LF is one line end.
        if (c === '\r' && data[i] === '\n') ++i;
        const line = this.line.map((entry) => entry.char).join('');
        if (line !== '' && line !== this.history[this.history.length - 1]) this.history.push(line);
        this.shown = this.history.length;
        this.screen.write('\r\n');
        this.lineSent(line);
        this.send(`${line}\n`);
        this.held = true;
      } else if (c === '\x7f' || c === '\b') {
        this.erase(1);
      } else if (c === '\x15') {
        this.erase(this.line.length);
      } else if (c === '\x04') {
        // As a terminal does: Ctrl+D sends a partial line, and on an empty line ends the input.
        if (this.line.length > 0) this.send(this.line.map((entry) => entry.char).join(''));
        else this.end();
      } else if (c === '\x03') {
        this.screen.write('^C\r\n');
        data.length = 0;
        this.interrupt();
        return;
      } else if (c === '\x1b') {
        const end = skipEscapeSequence(data, i - 1);
        const key = data.slice(i - 1, end + 1).join('');
        i = end + 1;
        if (key === '\x1b[A' || key === '\x1bOA') this.recall(-1);
        if (key === '\x1b[B' || key === '\x1bOB') this.recall(1);
      } else if (c >= ' ' || c === '\t') {
        this.add(c);
      }
    }
    data.splice(0, i);
  }

  add(c) {
    if (!this.start) {
      const start = (this.start = { end: null });
      this.screen.write('', () => {
        if (this.marker) this.marker.dispose();
        this.marker = this.screen.terminal.registerMarker(0);
        start.end = this.screen.cursorCell(this.marker);
      });
    }
    const entry = { char: c, end: null };
    this.line.push(entry);
    this.screen.write(c, () => (entry.end = this.screen.cursorCell(this.marker)));
  }

  // Shows the line `step` away in history in place of the one shown.
  recall(step) {
    const shown = this.shown + step;
    if (shown < 0 || shown > this.history.length) return;
    if (this.shown === this.history.length) this.draft = this.line.map((e) => e.char).join('');
    this.shown = shown;
    this.erase(this.line.length);
    for (const c of Array.from(this.history[shown] ?? this.draft)) this.add(c);
  }

  // Erases the last `count` characters of the line, on the screen the cells they took.
  erase(count) {
    const from = this.line.length - Math.min(count, this.line.length);
    if (from === this.line.length) return;
    const back = from > 0 ? this.line[from - 1] : this.start;
    this.line.length = from;
    this.screen.write(() => this.screen.moveTo(this.marker, back.end) + '\x1b[J');
  }

  // After the terminal has changed its width and moved the rows, the line's characters still
  // take as many cells each, counted back from where the cursor now stands.
  refit() {
    this.screen.write(() => {
      if (!this.start || this.start.end === null) return '';
      const ends = [this.start, ...this.line];
      if (this.marker) this.marker.dispose();
      this.marker = this.screen.terminal.registerMarker(0);
      let cell = this.screen.cursorCell(this.marker);
      for (let i = ends.length - 1; i > 0; --i) {
        const width = ends[i].end - ends[i - 1].end;
        ends[i].end = cell;
        cell -= width;
      }
      this.start.end = cell;
      return '';
    });
  }

  send(text) {
    this.line = [];
    this.start = null;
    for (const byte of new TextEncoder().encode(text)) this.sent.push(byte);
    this.wakeReader();
  }

  end() {
    this.ended = true;
    this.wakeReader();
  }

  wakeReader() {
    if (this.wake) {
      const wake = this.wake;
      this.wake = null;
      wake();
    }
  }

  // Up to `size` bytes sent; waits for the next line when none are; empty at the end of input.
  read(size) {
    return new Promise((resolve) => {
      const take = () => resolve(Uint8Array.from(this.sent.splice(0, size)));
      if (this.sent.length > 0 || this.ended) {
        take();
        return;
      }
      this.wake = take;
      // Once what the game wrote before it waits has been passed on (game_host.js), the page
      // follows the question, and what was typed ahead is typed.
      setTimeout(() => {
        if (this.wake !== take) return;
        this.held = false;
        this.waiting();
        this.type('');
      }, 0);
    });
  }
}

// The index of the last character of the escape sequence that starts at data[start]: Up and
// Down recall lines; the other arrow keys, Home, F1 and the like are dropped whole.
function skipEscapeSequence(data, start) {
  let i = start + 1;
  if (data[i] === '[') {
    // CSI: parameters and intermediates, then one final byte from '@' to '~'.
    ++i;
    while (i < data.length && !(data[i] >= '@' && data[i] <= '~')) ++i;
    return i;
  }
  if (data[i] === 'O') return i + 1;  // SS3: one more character (F1 to F4 and others)
  return i < data.length ? i : start;
}

// "4142" -> the bytes 0x41 0x42: the form world.js carries a world's bytes in.
function bytesFromHex(hex) {
  const bytes = new Uint8Array(hex.length / 2);
  for (let i = 0; i < bytes.length; ++i) bytes[i] = parseInt(hex.substr(2 * i, 2), 16);
  return bytes;
}

const page = {
  terminal: null,
  screen: null,
  world: null,     // { name, bytes, title, byline } of the world being played
  bundled: null,   // the world that world.js brought
  game: null,      // the game being played: { keyboard, stopped, waitingFor }
};

function say(text) {
  document.getElementById('status').textContent = text;
}

// The command buttons follow what the game waits for: at a command each types its command, at
// a key any of them continues, at an object's question the name is the player's to type and
// only Enter is of use; when the game has ended none is.
function followGame(waitingFor) {
  for (const button of document.querySelectorAll('#commands button')) {
    const off = waitingFor === 'ended' || (waitingFor === 'object' && button.id !== 'enter');
    if (off && document.activeElement === button) page.terminal.focus();
    button.disabled = off;
  }
}

function pressButton(button) {
  const keyboard = page.game && page.game.keyboard;
  // Only once the game waits: what a button types depends on what for.
  if (!keyboard || keyboard.held) return;
  if (button.id === 'enter') {
    keyboard.type('\r');
    return;
  }
  // Ctrl+U first: a button replaces a half-typed line, as a player would.
  const command = button.dataset.line;
  keyboard.type(page.game.waitingFor === 'command' ? `\x15${command}\r` : '\x15\r');
  // The game asks which object next: the phone's keyboard comes up for its name.
  if (command === 'examine') page.terminal.focus();
}

// Starts a new game on `world`, stopping the one being played: its output and keys no longer
// reach the terminal, and it waits forever for keys that never come.
function play(world) {
  if (page.game) page.game.stopped = true;
  if (page.screen) page.screen.stopped = true;
  page.world = world;
  const terminal = page.terminal;
  terminal.reset();
  const screen = (page.screen = new Screen(terminal));
  const transcript = new Transcript(document.getElementById('transcript'));
  document.getElementById('ended').hidden = true;
  document.getElementById('title').textContent = world.title;
  document.getElementById('byline').textContent = world.byline;
  document.title = world.title;
  say('');
  const game = { stopped: false, keyboard: null, waitingFor: 'command' };
  const ended = () => {
    if (game.stopped) return;
    game.stopped = true;
    game.keyboard = null;
    followGame('ended');
    document.getElementById('ended').hidden = false;
    document.getElementById('play-again').focus();
  };
  game.keyboard = new LineKeyboard(screen, {
    interrupt: ended,
    waiting: () => {
      if (!game.stopped) followGame(game.waitingFor);
    },
    lineSent: (line) => transcript.add(`${line}\n`),
  });
  page.game = game;
  followGame('command');
  const decoders = { 1: new TextDecoder(), 2: new TextDecoder() };
  let firstOutput = true;
  createWanderGame({
    host: {
      world: world.bytes,
      readKeys: (size) => game.keyboard ? game.keyboard.read(size) : new Promise(() => {}),
      isTerminal: () => true,
      // Told before each read of the keys; the buttons follow once the game truly waits.
      waiting: (what) => (game.waitingFor = what),
      write: (fd, bytes) => {
        if (game.stopped) return;
        if (firstOutput) {
          firstOutput = false;
          performance.mark('wander-first-output');
        }
        const text = decoders[fd].decode(bytes, { stream: true });
        transcript.add(text);
        screen.write(() => wrapWords(text, terminal.buffer.active.cursorX, terminal.cols));
      },
      ended: (status) => {
        if (status === null && !game.stopped) say('The game stopped on an internal error.');
        ended();
      },
    },
    print: (text) => console.log(text),
    printErr: (text) => console.error(text),
  });
  terminal.focus();
}

// Plays the file the player chose or dropped.
async function playFile(file) {
  try {
    const bytes = new Uint8Array(await file.arrayBuffer());
    play({ name: file.name, bytes, title: file.name, byline: '' });
  } catch (error) {
    say(`Cannot read ${file.name}: ${error.message}`);
  }
}

// Plays the world at `address`, which must be on this page's own site.
async function playAddress(address) {
  let url;
  try {
    url = new URL(address, location.href);
  } catch (error) {
    say(`Not a world address: ${address}`);
    return;
  }
  if (url.origin !== location.origin || location.protocol === 'file:') {
    say(`Worlds load only from this page's own web site: ${address}`);
    return;
  }
  try {
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
    const name = decodeURIComponent(url.pathname.split('/').pop()) || address;
    play({ name, bytes: new Uint8Array(await response.arrayBuffer()), title: name, byline: '' });
  } catch (error) {
    say(`Cannot load the world ${address}: ${error.message}`);
  }
}

// Called by world.js with the world the page plays unless told otherwise. Its title and byline
// are the page's own, as `wander-world publish` wrote them into index.html.
function wanderWorld(name, hex) {
  page.bundled = {
    name,
    bytes: bytesFromHex(hex),
    title: document.getElementById('title').textContent,
    byline: document.getElementById('byline').textContent,
  };
}

function start() {
  const terminal = new Terminal({
    convertEol: true,
    cursorBlink: true,
    scrollback: 1000,
    fontFamily: 'ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace',
    fontSize: 14,
    screenReaderMode: false,
  });
  page.terminal = terminal;
  const box = document.getElementById('terminal');
  // As many columns and rows as the box holds: it follows the window, turned or resized. Fitted
  // at once too, before the game starts, so that nothing is drawn twice on the way to its first
  // output (that cost the first prompt some 20 to 40 ms).
  const fit = new FitAddon.FitAddon();
  terminal.loadAddon(fit);
  terminal.open(box);
  fit.fit();
  new ResizeObserver(() => fit.fit()).observe(box);
  terminal.onResize(() => page.game && page.game.keyboard && page.game.keyboard.refit());
  terminal.onData((data) => {
    if (page.game && page.game.keyboard) page.game.keyboard.type(data);
  });
  // Tab moves the focus on, out of the terminal, as everywhere else on the page.
  terminal.attachCustomKeyEventHandler((event) => event.key !== 'Tab');

  const file = document.getElementById('world-file');
  document.getElementById('open-world').addEventListener('click', () => file.click());
  file.addEventListener('change', () => {
    const chosen = file.files[0];
    file.value = '';
    if (chosen) playFile(chosen);
  });
  for (const button of document.querySelectorAll('#commands button')) {
    button.addEventListener('click', () => pressButton(button));
  }
  const show = document.getElementById('show-commands');
  show.addEventListener('click', () => {
    const shown = document.body.classList.toggle('commands-shown');
    show.setAttribute('aria-pressed', String(shown));
  });
  document.getElementById('play-again').addEventListener('click', () => play(page.world));
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dropping');
    const dropped = event.dataTransfer.files[0];
    if (dropped) playFile(dropped);
  });

  const address = new URLSearchParams(location.search).get('world');
  if (address) playAddress(address);
  else if (page.bundled) play(page.bundled);
  else say('This page has no world of its own: open one, or drop a World.txt here.');
}

// For scripts and tests: the terminal's text, scrollback included, one string per row without
// its trailing blanks, and without the empty rows below the last written one.
window.wanderScreen = function () {
  const buffer = page.terminal.buffer.active;
  const rows = [];
  for (let i = 0; i < buffer.length; ++i) rows.push(buffer.getLine(i).translateToString().trimEnd());
  while (rows.length > 0 && rows[rows.length - 1] === '') rows.pop();
  return rows;
};

document.addEventListener('DOMContentLoaded', start);
