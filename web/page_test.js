// The web page in a real browser: Debian's Chromium, driven by playwright-core (nothing is
// downloaded). Each test plays through the page as a player would, by keys, a paste, buttons, a
// file input or a dropped file, on a desktop or a phone, and compares the whole terminal,
// scrollback included, with what the console shows; axe-core checks what a screen reader meets.
//
//   WANDER_PAGE=build-web/page WANDER_WORLD_TOOL=build/wander-world node --test web/page_test.js
//
// Optional: WANDER_CHROMIUM (default /usr/bin/chromium), WANDER_SCREENSHOT (a PNG of the page in
// play is written there, and one at a phone's size beside it, its name ending in -phone.png).
'use strict';

const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');

const pageFolder = path.resolve(process.env.WANDER_PAGE || 'build-web/page');
const worldTool = process.env.WANDER_WORLD_TOOL;
const sampleWorld = path.join(__dirname, '..', 'examples', 'World.txt');

// The sample world's first room and one of its objects, as the terminal shows them.
const jetty = [
  'You stand on a weathered wooden jetty at the south end of Gull Rock. Grey water slaps at the',
  'piles below. A coil of rope lies beside an iron bollard. A path climbs north between the',
  'boulders; to the west a strip of sand curves away, and to the east the shore breaks into rocks.',
];
const rope = 'A long coil of hemp rope, stiff with salt. One end is still knotted to the bollard.';
// A description, then two line ends, then each turn's line end and prompt.
const described = (rows) => [...rows, '', '', '', '>'];

// A second world, with mistakes: the west exit names a room without a block, and the chair has
// no block. The game plays on regardless, and so must the page.
const cabin = fs.readFileSync(path.join(__dirname, 'cabin.txt'), 'utf8');

let browser;
let server;
let site;
const worldsFolder = fs.mkdtempSync(path.join(os.tmpdir(), 'wander-page-test-'));

// A static web server on the loopback address: the page at /, test worlds at /worlds/.
function serve(root) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css' };
  return new Promise((resolve) => {
    const s = http.createServer((request, response) => {
      const url = new URL(request.url, 'http://localhost');
      const name = decodeURIComponent(url.pathname);
      const file = name.startsWith('/worlds/')
        ? path.join(worldsFolder, name.slice('/worlds/'.length))
        : path.join(root(), name === '/' ? 'index.html' : name);
      fs.readFile(file, (error, bytes) => {
        if (error) {
          response.writeHead(404).end();
          return;
        }
        response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'text/plain' });
        response.end(bytes);
      });
    });
    s.listen(0, '127.0.0.1', () => resolve(s));
  });
}

let servedFolder = pageFolder;

before(async () => {
  fs.writeFileSync(path.join(worldsFolder, 'cabin.txt'), cabin);
  browser = await chromium.launch({
    executablePath: process.env.WANDER_CHROMIUM || '/usr/bin/chromium',
  });
  server = await serve(() => servedFolder);
  site = `http://127.0.0.1:${server.address().port}`;
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  fs.rmSync(worldsFolder, { recursive: true, force: true });
});

async function openPage(url, options = { viewport: { width: 1000, height: 760 } }) {
  const page = await browser.newPage(options);
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));
  page.problems = problems;
  await page.goto(url);
  return page;
}

const screen = (page) => page.evaluate(() => window.wanderScreen());

// Waits until the terminal holds exactly `rows` (or, with `tail`, ends with them).
async function expectScreen(page, rows, { tail = false } = {}) {
  try {
    await page.waitForFunction(
      ({ rows, tail }) => {
        const got = window.wanderScreen();
        const part = tail ? got.slice(Math.max(got.length - rows.length, 0)) : got;
        return JSON.stringify(part) === JSON.stringify(rows);
      },
      { rows, tail },
      { timeout: 5000, polling: 20 },
    );
  } catch (error) {
    assert.deepStrictEqual(await screen(page), rows, tail ? '(the last rows)' : '');
    throw error;
  }
}

async function type(page, text) {
  await page.keyboard.type(text);
  await page.keyboard.press('Enter');
}

// Pastes `text` into the terminal as a browser does: a paste event on its input.
const paste = (page, text) => page.evaluate((text) => {
  const data = new DataTransfer();
  data.setData('text/plain', text);
  document.querySelector('.xterm-helper-textarea')
    .dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true }));
}, text);

// The words of `text`, whatever breaks its lines.
const words = (text) => text.split(/\s+/).filter((word) => word !== '');

// Waits until the terminal's text, read as words, ends with the words of `text`.
async function expectWords(page, text) {
  const want = words(text);
  try {
    await page.waitForFunction((want) => {
      const got = window.wanderScreen().join(' ').split(/\s+/).filter((word) => word !== '');
      return JSON.stringify(got.slice(-want.length)) === JSON.stringify(want);
    }, want, { timeout: 5000, polling: 20 });
  } catch (error) {
    assert.deepStrictEqual(words((await screen(page)).join(' ')).slice(-want.length), want);
    throw error;
  }
}

// axe-core finds nothing serious or critical on the page.
async function expectAccessible(page, when) {
  await page.addScriptTag({ path: require.resolve('axe-core/axe.min.js') });
  const { violations } = await page.evaluate(() => window.axe.run());
  const grave = violations.filter((v) => v.impact === 'serious' || v.impact === 'critical');
  console.log(`axe-core ${when}: ${violations.length} violations, ` +
              `${violations.map((v) => `${v.id} (${v.impact})`).join(', ') || 'none'}`);
  assert.deepStrictEqual(grave.map((v) => `${v.id}: ${v.help}`), [], when);
}

// The live region's passages, each a list of its paragraphs.
const passages = (page) => page.$$eval('#transcript > div',
  (divs) => divs.map((div) => Array.from(div.children, (p) => p.textContent)));

// What has the keyboard's focus, and whether it shows.
const focus = (page) => page.evaluate(() => {
  const element = document.activeElement;
  const shown = element.closest('#terminal') || element;
  return {
    id: element.id || element.className,
    outline: getComputedStyle(shown).outlineStyle !== 'none',
  };
});

test('plays the sample world: examine, the key, a blocked move, an unlisted object, quit, another world', async () => {
  const started = Date.now();
  const page = await openPage(`${site}/index.html`);
  await expectScreen(page, described(jetty));
  const firstOutput = await page.evaluate(
    () => performance.getEntriesByName('wander-first-output')[0].startTime);
  console.log(`first description: ${Date.now() - started} ms from goto, ` +
              `${Math.round(firstOutput)} ms from navigation start`);
  assert.strictEqual(await page.textContent('#title'), 'World.txt');
  assert.strictEqual(await page.title(), 'World.txt');

  // After an examine, only the object's text; after the key, only the room and the prompts.
  await type(page, 'exa');
  await expectScreen(page, ['> exa', 'What do you want to look at?'], { tail: true });
  await type(page, 'rope');
  await expectScreen(page, ['', rope]);
  await page.keyboard.press('Enter');
  await expectScreen(page, [...described(jetty), '>']);

  // Backspace edits the line before it is sent: "sx" becomes "s", and south is blocked.
  await page.keyboard.type('sx');
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Enter');
  await expectScreen(page, [...described(jetty), '> s', "You can't go that way!", '', '>']);
  if (process.env.WANDER_SCREENSHOT) await page.screenshot({ path: process.env.WANDER_SCREENSHOT });

  await type(page, 'examine');
  await type(page, 'gull');
  await expectScreen(page, ['That is not a valid object!', '', '>', '>']);

  await type(page, 'quit');
  await expectScreen(page, ['> quit', 'Terminated'], { tail: true });
  assert.strictEqual(await page.isVisible('#ended'), false, 'ended before the key');
  await type(page, 'x');
  await expectScreen(page, ['> quit', 'Terminated', 'x', 'x'], { tail: true });
  await page.waitForSelector('#ended', { state: 'visible' });
  assert.match(await page.textContent('#ended'), /The game has ended\./);

  // A second world through the file input replaces the game, screen and all.
  await page.setInputFiles('#world-file', {
    name: 'cabin.txt', mimeType: 'text/plain', buffer: Buffer.from(cabin),
  });
  await expectScreen(page, described(['A log cabin. A chair stands by the stove.']));
  assert.strictEqual(await page.textContent('#title'), 'cabin.txt');
  assert.strictEqual(await page.isVisible('#ended'), false);
  await type(page, 'n');
  await expectScreen(page, ['> n', 'A creaking porch.', '', '', '', '>'], { tail: true });
  assert.deepStrictEqual(page.problems, []);
  await page.close();
});

test('a world with mistakes plays as in the console; ?world= loads it from the site', async () => {
  const page = await openPage(`${site}/index.html?world=worlds/cabin.txt`);
  const cabinRoom = described(['A log cabin. A chair stands by the stove.']);
  await expectScreen(page, cabinRoom);
  // West names a room without a block: the player stays and the room is described again.
  await type(page, 'w');
  await expectScreen(page, [...cabinRoom.slice(0, -1), '> w', ...cabinRoom]);
  // The chair has no block: its text is empty.
  await type(page, 'exa');
  await type(page, 'chair');
  await expectScreen(page, []);
  await page.keyboard.press('Enter');
  await expectScreen(page, [...cabinRoom, '>']);
  // Backspace takes back the cells a character took: a wide one's two, a pasted tab's.
  await page.keyboard.type('東');
  await page.keyboard.press('Backspace');
  await page.keyboard.type('x');
  await expectScreen(page, ['> x'], { tail: true });
  await page.keyboard.press('Backspace');
  await paste(page, '\tn');
  await expectScreen(page, ['>       n'], { tail: true });
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Backspace');
  await page.keyboard.type('x');
  await expectScreen(page, ['> x'], { tail: true });
  await page.keyboard.press('Backspace');
  // Pasted lines are typed one after another, each once the game has answered the one before.
  await paste(page, 'n\r\ns\n');
  await expectScreen(page, ['> n', 'A creaking porch.', '', '', '', '> s', ...cabinRoom],
                     { tail: true });
  // Typed text goes to the game as UTF-8, and Backspace takes back a whole character.
  await type(page, 'n');
  await type(page, 'exa');
  await page.keyboard.type('café🐚');
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Enter');
  await expectScreen(page, ['', 'A café table, bolted to the boards.']);
  assert.deepStrictEqual(page.problems, []);
  await page.close();
});

test('a dropped world, Ctrl+D and "Play again"', async () => {
  const page = await openPage(`${site}/index.html`);
  await expectScreen(page, described(jetty));
  const file = await page.evaluateHandle((text) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([text], 'World.txt', { type: 'text/plain' }));
    return transfer;
  }, cabin);
  await page.dispatchEvent('body', 'drop', { dataTransfer: file });
  await expectScreen(page, described(['A log cabin. A chair stands by the stove.']));

  // Ctrl+D on an empty line ends the input: the game ends as at the end of piped input.
  await page.keyboard.press('Control+D');
  await page.waitForSelector('#ended', { state: 'visible' });
  await page.click('#play-again');
  await expectScreen(page, described(['A log cabin. A chair stands by the stove.']));
  await page.close();
});

test('keyboard alone: Tab in and out of the terminal, the buttons, the live region, axe-core', async () => {
  const page = await openPage(`${site}/index.html`);
  await expectScreen(page, described(jetty));
  await expectAccessible(page, 'at start');
  // xterm.js's own screen-reader mode is off: the live region alone speaks.
  assert.strictEqual(await page.locator('.xterm-accessibility').count(), 0);

  // Tab leaves the terminal, with nothing typed, and every stop shows where the focus is.
  assert.deepStrictEqual(await focus(page), { id: 'xterm-helper-textarea', outline: true });
  await page.keyboard.press('Shift+Tab');
  assert.deepStrictEqual(await focus(page), { id: 'open-world', outline: true });
  await page.keyboard.press('Shift+Tab');
  assert.deepStrictEqual(await focus(page), { id: 'show-commands', outline: true });
  assert.strictEqual(await page.isVisible('#commands'), false);
  await page.keyboard.press('Enter');
  assert.strictEqual(await page.getAttribute('#show-commands', 'aria-pressed'), 'true');
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  assert.deepStrictEqual(await focus(page), { id: 'xterm-helper-textarea', outline: true });
  await page.keyboard.press('Tab');
  assert.deepStrictEqual(await focus(page), { id: '', outline: true });
  assert.strictEqual(await page.evaluate(() => document.activeElement.dataset.line), 'north');
  await page.keyboard.press('Enter');
  const path = [
    'A narrow path winds up from the jetty between gorse and heather. A wooden signpost leans at',
    'a tired angle. The path goes on north to a cobbled yard and back south to the water.',
  ];
  await expectScreen(page, [...described(jetty).slice(0, -1), '> north', ...described(path)]);

  // The live region holds the same text, plain, a paragraph a line, with the player's command.
  assert.strictEqual(await page.getAttribute('#transcript', 'role'), 'log');
  assert.strictEqual(await page.getAttribute('#transcript', 'aria-live'), 'polite');
  assert.deepStrictEqual(await passages(page), [[...jetty, '> north', ...path, '> ']]);
  await expectAccessible(page, 'after a move');
  assert.deepStrictEqual(page.problems, []);
  await page.close();
});

test('on a phone: the terminal fits the screen, the keyboard comes up, tapped buttons play', async () => {
  const phone = await openPage(`${site}/index.html`, {
    viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true,
  });
  await expectWords(phone, `${jetty.join(' ')} >`);
  await expectAccessible(phone, 'on a phone, at start');
  // Laid out at the phone's width, never wider; the terminal in its box, in readable text, its
  // lines broken between words.
  const layout = () => phone.evaluate(() => ({
    width: innerWidth,
    pageWidth: document.documentElement.scrollWidth,
    cols: page.terminal.cols,
    fontSize: parseFloat(getComputedStyle(document.querySelector('.xterm-rows')).fontSize),
    overhang: document.querySelector('.xterm-screen').getBoundingClientRect().right -
              document.getElementById('terminal').getBoundingClientRect().right,
  }));
  const upright = await layout();
  assert.ok(upright.width === 390 && upright.pageWidth === 390, JSON.stringify(upright));
  assert.ok(upright.cols >= 30 && upright.cols < 60, JSON.stringify(upright));
  assert.ok(upright.fontSize >= 12 && upright.overhang <= 0, JSON.stringify(upright));
  const rows = await screen(phone);
  assert.deepStrictEqual(words(rows.join(' ')), words(`${jetty.join(' ')} >`));
  assert.ok(rows.every((row) => row.length <= upright.cols), rows.join('\n'));

  // Tapping the terminal brings up the keyboard: its input takes the focus.
  await phone.tap('#terminal');
  assert.strictEqual((await focus(phone)).id, 'xterm-helper-textarea');
  // A button replaces a half-typed line.
  await phone.keyboard.type('xyz');
  await phone.getByRole('button', { name: 'North' }).tap();
  const path = 'A narrow path winds up from the jetty between gorse and heather. A wooden ' +
               'signpost leans at a tired angle. The path goes on north to a cobbled yard and ' +
               'back south to the water.';
  await expectWords(phone, `> north ${path} >`);
  await expectAccessible(phone, 'on a phone, after a move');
  if (process.env.WANDER_SCREENSHOT) {
    await phone.screenshot({ path: process.env.WANDER_SCREENSHOT.replace(/\.png$/, '-phone.png') });
  }

  // At the object's question the name is the player's to type, and Enter is a button; the
  // keyboard is up for it. Its text is a new passage in the live region.
  await phone.getByRole('button', { name: 'Examine' }).tap();
  await expectWords(phone, '> examine What do you want to look at?');
  assert.strictEqual((await focus(phone)).id, 'xterm-helper-textarea');
  assert.deepStrictEqual(
    await phone.$$eval('#commands button', (buttons) => buttons.map((b) => b.disabled)),
    [true, true, true, true, true, true, true, false]);
  await phone.keyboard.type('signpost');
  await phone.getByRole('button', { name: 'Enter' }).tap();
  const signpost = 'The signpost has two arms. One reads "LIGHT", the other "LANDING". Someone has ' +
                   'carved a small gull into the post beneath them.';
  await expectWords(phone, signpost);
  assert.strictEqual((await passages(phone)).pop().join(' '), signpost);
  // At the key wait any button continues: West is no move west here.
  await phone.getByRole('button', { name: 'West' }).tap();
  await expectWords(phone, `${path} > >`);
  assert.deepStrictEqual(words((await screen(phone)).join(' ')), words(`${path} > >`));

  // Turned sideways, the terminal fits the wider screen.
  await phone.setViewportSize({ width: 844, height: 390 });
  await phone.waitForFunction((cols) => page.terminal.cols > cols, upright.cols);
  const sideways = await layout();
  assert.ok(sideways.pageWidth === 844 && sideways.overhang <= 0, JSON.stringify(sideways));
  assert.deepStrictEqual(phone.problems, []);
  await phone.close();
});

test('worlds load only from the page\'s own site', async () => {
  const page = await openPage(`${site}/index.html?world=http://example.invalid/World.txt`);
  await page.waitForFunction(() => document.getElementById('status').textContent !== '');
  assert.match(await page.textContent('#status'), /only from this page's own web site/);
  const missing = await openPage(`${site}/index.html?world=worlds/none.txt`);
  await missing.waitForFunction(() => document.getElementById('status').textContent !== '');
  assert.match(await missing.textContent('#status'), /Cannot load the world worlds\/none\.txt: 404/);
  await page.close();
  await missing.close();
});

test('the published folder plays from disk and from a web server, titled, within 700 KB', { skip: !worldTool && 'WANDER_WORLD_TOOL is not set' }, async () => {
  const folder = path.join(worldsFolder, 'published');
  const world = path.join(worldsFolder, 'World.txt');
  fs.writeFileSync(world, cabin);
  const title = 'The <b>Cabin</b> & "Porch" 🏕';
  execFileSync(worldTool, ['publish', '--title', title, '--byline', 'by Ann <i>', '--page',
                           pageFolder, world, folder]);
  let pageBytes = 0;
  for (const name of fs.readdirSync(folder)) {
    if (name !== 'world.js') pageBytes += fs.statSync(path.join(folder, name)).size;
  }
  console.log(`published page: ${pageBytes} bytes, the world aside`);
  assert.ok(pageBytes <= 700 * 1000, `${pageBytes} bytes`);

  const fromDisk = await openPage(pathToFileURL(path.join(folder, 'index.html')).href);
  await expectScreen(fromDisk, described(['A log cabin. A chair stands by the stove.']));
  // The title and byline show as given: their markup is text, never the page's.
  assert.strictEqual(await fromDisk.title(), title);
  assert.strictEqual(await fromDisk.textContent('#title'), title);
  assert.strictEqual(await fromDisk.textContent('#byline'), 'by Ann <i>');
  assert.strictEqual(await fromDisk.locator('header b, header i').count(), 0);
  await type(fromDisk, 'n');
  await expectScreen(fromDisk, ['> n', 'A creaking porch.', '', '', '', '>'], { tail: true });
  assert.deepStrictEqual(fromDisk.problems, []);
  await fromDisk.close();

  servedFolder = folder;
  try {
    const served = await openPage(`${site}/index.html`);
    await expectScreen(served, described(['A log cabin. A chair stands by the stove.']));
    await served.close();
  } finally {
    servedFolder = pageFolder;
  }
});
