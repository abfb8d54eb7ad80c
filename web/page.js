// The web page: a terminal (xterm.js) that plays the game built to WebAssembly
// (wander-game.js, from the same sources as the console game). The keys the player types go to
// the game a line at a time, as a console in line mode sends them. What the game writes goes to
// the terminal, its lines broken between words to the terminal's width, which fits its box.
//
// The world comes from world.js (the bundled or published world), from ?world=URL on the same
// site, from "Open world…", or from a file dropped on the page; each starts a new game.
'use strict';

// The pieces of the game's text: an escape sequence (CSI, OSC, or ESC and one character), a line
// end, a run of blanks, a word, or one other character.
const textPieces = new RegExp(
  '\x1b(?:\\[[0-?]*[ -/]*[@-~]?|\\][^\x07\x1b]*(?:\x07|\x1b\\\\)?|[ -/]*[0-~]?)' +
  '|\\r?\\n|[ \\t]+|[^\\s\x1b]+|[^]', 'g');

// The terminal's writes, in order. A piece may be a function, called once the terminal has drawn
// everything written before it, that returns the text to write then: so a line breaks where the
// cursor really stands, which only the terminal knows (a wide character takes two cells, and
// one that does not fit at a row's end goes to the next row).
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
}

// `text` with a line end put before each word that would not fit the rest of its row, on a
// terminal `cols` wide whose cursor stands in column `column` (from 0): lines break between
// words, never inside one, and blanks that would start a row are left out. A word longer than a
// row runs on into the next.
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
      width = Array.from(piece).length;
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

// The terminal's keyboard in line mode: typing echoes, Backspace edits the line, Enter sends it
// with its line end; Ctrl+D on an empty line ends the input, Ctrl+C stops the game. The game
// reads the bytes sent, as many as it asks for, and waits when there are none.
class LineKeyboard {
  constructor(echo, interrupt) {
    this.echo = echo;
    this.interrupt = interrupt;
    this.line = [];     // the characters of the line being typed
    this.sent = [];     // bytes sent and not yet read
    this.ended = false;
    this.wake = null;   // resolves the game's read that waits
  }

  // Takes what the terminal reports as typed: one key, a key's escape sequence, or a paste.
  type(typed) {
    // By characters, not UTF-16 units, so that Backspace takes back a whole one.
    const data = Array.from(typed);
    for (let i = 0; i < data.length; ++i) {
      const c = data[i];
      if (c === '\r' || c === '\n') {
        // A pasted CR LF is one line end.
        if (c === '\r' && data[i + 1] === '\n') ++i;
        this.echo('\r\n');
        this.send(this.line.join('') + '\n');
      } else if (c === '\x7f' || c === '\b') {
        if (this.line.length > 0) {
          this.line.pop();
          this.echo('\b \b');
        }
      } else if (c === '\x04') {
        // As a terminal does: Ctrl+D sends a partial line, and on an empty line ends the input.
        if (this.line.length > 0) this.send(this.line.join(''));
        else this.end();
      } else if (c === '\x03') {
        this.echo('^C\r\n');
        this.interrupt();
        return;
      } else if (c === '\x1b') {
        i = skipEscapeSequence(data, i);
      } else if (c >= ' ') {
        this.line.push(c);
        this.echo(c);
      }
    }
  }

  send(text) {
    this.line = [];
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
      if (this.sent.length > 0 || this.ended) take();
      else this.wake = take;
    });
  }
}

// The index of the last character of the escape sequence that starts at data[start]: the arrow
// keys, Home, F1 and the like have no meaning on a line in line mode, so they are dropped whole.
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
  game: null,      // the game being played: { keyboard, stopped }
};

function say(text) {
  document.getElementById('status').textContent = text;
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
  document.getElementById('ended').hidden = true;
  document.getElementById('title').textContent = world.title;
  document.getElementById('byline').textContent = world.byline;
  document.title = world.title;
  say('');
  const game = { stopped: false, keyboard: null };
  const ended = () => {
    if (game.stopped) return;
    game.stopped = true;
    game.keyboard = null;
    document.getElementById('ended').hidden = false;
    document.getElementById('play-again').focus();
  };
  game.keyboard = new LineKeyboard((text) => screen.write(text), ended);
  page.game = game;
  const decoders = { 1: new TextDecoder(), 2: new TextDecoder() };
  let firstOutput = true;
  createWanderGame({
    host: {
      world: world.bytes,
      readKeys: (size) => game.keyboard ? game.keyboard.read(size) : new Promise(() => {}),
      isTerminal: () => true,
      write: (fd, bytes) => {
        if (game.stopped) return;
        if (firstOutput) {
          firstOutput = false;
          performance.mark('wander-first-output');
        }
        const text = decoders[fd].decode(bytes, { stream: true });
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
  });
  page.terminal = terminal;
  const box = document.getElementById('terminal');
  // As many columns and rows as the box holds: it follows the window, turned or resized.
  const fit = new FitAddon.FitAddon();
  terminal.loadAddon(fit);
  terminal.open(box);
  new ResizeObserver(() => fit.fit()).observe(box);
  terminal.onData((data) => {
    if (page.game && page.game.keyboard) page.game.keyboard.type(data);
  });

  document.getElementById('open-world').addEventListener('change', (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (file) playFile(file);
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
    const file = event.dataTransfer.files[0];
    if (file) playFile(file);
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
