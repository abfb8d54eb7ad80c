// The web page in a real browser: Debian's Chromium, driven by playwright-core (nothing is
// downloaded). Each play of page_test.txt goes through the page as a player would, by keys, a
// paste, buttons, a file input or a dropped file, on a desktop or a phone, and compares the whole
// terminal, scrollback included, with what the console shows; axe-core checks what a screen
// reader meets. The published folder is played from disk and from a web server here.
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

// A second world, with mistakes (see page_test.txt).
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
  page.opened = Date.now();
  await page.goto(url);
  return page;
}

const screen = (page) => page.evaluate(() => window.wanderScreen());

// Runs `check` on the terminal's rows until it passes, for at most 5 s; then its failure stands.
async function eventually(page, check) {
  for (const start = Date.now(); ; await page.waitForTimeout(20)) {
    try {
      return check(await screen(page));
    } catch (error) {
      if (Date.now() - start > 5000) throw error;
    }
  }
}

// The words of `text`, whatever breaks its lines.
const words = (text) => text.split(/\s+/).filter((word) => word !== '');

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

// The texts and plays of `file` (see page_test.txt).
function readPlays(file) {
  const lines = fs.readFileSync(file, 'utf8').split('\n');
  const texts = {};
  const plays = [];
  let number = 0;
  const text = (name) => {
    if (!texts[name]) throw new Error(`${file}:${number}: no text ${name}`);
    return texts[name];
  };
  const block = () => {
    const rows = [];
    for (let row; (row = lines[number++]) !== '.';) {
      if (row === undefined) throw new Error(`${file}: rows without a "." after them`);
      if (row.startsWith('@')) rows.push(...text(row.slice(1)));
      else rows.push(row.startsWith('"') ? JSON.parse(row) : row);
    }
    return rows;
  };
  while (number < lines.length) {
    const line = lines[number++];
    if (line === '' || line.startsWith('#')) continue;
    const verb = line.split(' ', 1)[0];
    const argument = line.slice(verb.length + 1).replace(/@([\w-]+)/g, (_, n) => text(n).join(' '));
    if (verb === 'text') texts[argument] = block();
    else if (verb === '===') plays.push({ title: argument, steps: [] });
    else {
      const at = `${path.basename(file)}:${number}: ${line}`;
      const rows = ['screen', 'tail', 'passage'].includes(verb) ? block() : null;
      plays.at(-1).steps.push({ verb, argument, rows, at });
    }
  }
  return { texts, plays };
}

const { texts, plays } = readPlays(path.join(__dirname, 'page_test.txt'));
const phone = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };

// What the play's own code does: `call NAME`.
const hooks = {
  // The cabin published, with markup in its title and byline, to worldsFolder/published.
  publish: () => {
    const world = path.join(worldsFolder, 'World.txt');
    const folder = path.join(worldsFolder, 'published');
    fs.writeFileSync(world, cabin);
    execFileSync(worldTool, ['publish', '--title', 'The <b>Cabin</b> & "Porch" 🏕', '--byline',
                             'by Ann <i>', '--page', pageFolder, world, folder]);
    let pageBytes = 0;
    for (const name of fs.readdirSync(folder)) {
      if (name !== 'world.js') pageBytes += fs.statSync(path.join(folder, name)).size;
    }
    console.log(`published page: ${pageBytes} bytes, the world aside`);
    assert.ok(pageBytes <= 700 * 1000, `${pageBytes} bytes`);
  },
  // The site serves the published folder, until the play ends.
  'serve-published': () => {
    servedFolder = path.join(worldsFolder, 'published');
  },
  'first-output': async (page) => {
    const firstOutput = await page.evaluate(
      () => performance.getEntriesByName('wander-first-output')[0].startTime);
    console.log(`first description: ${Date.now() - page.opened} ms from goto, ` +
                `${Math.round(firstOutput)} ms from navigation start`);
  },
  // At a phone's size, beside the other, its name ending in -phone.png.
  screenshot: async (page) => {
    const file = process.env.WANDER_SCREENSHOT;
    if (!file) return;
    await page.screenshot({ path: page.upright ? file.replace(/\.png$/, '-phone.png') : file });
  },
  upright: async (phone) => {
    const upright = await layout(phone);
    phone.upright = upright;
    assert.ok(upright.width === 390 && upright.pageWidth === 390, JSON.stringify(upright));
    assert.ok(upright.cols >= 30 && upright.cols < 60, JSON.stringify(upright));
    assert.ok(upright.fontSize >= 12 && upright.overhang <= 0, JSON.stringify(upright));
    const rows = await screen(phone);
    assert.ok(rows.every((row) => row.length <= upright.cols), rows.join('\n'));
  },
  sideways: async (phone) => {
    await phone.setViewportSize({ width: 844, height: 390 });
    await phone.waitForFunction((cols) => page.terminal.cols > cols, phone.upright.cols);
    const sideways = await layout(phone);
    assert.ok(sideways.pageWidth === 844 && sideways.overhang <= 0, JSON.stringify(sideways));
  },
};

// The page's width, the terminal's columns and text size, and how far it juts out of its box.
const layout = (phone) => phone.evaluate(() => ({
  width: innerWidth,
  pageWidth: document.documentElement.scrollWidth,
  cols: page.terminal.cols,
  fontSize: parseFloat(getComputedStyle(document.querySelector('.xterm-rows')).fontSize),
  overhang: document.querySelector('.xterm-screen').getBoundingClientRect().right -
            document.getElementById('terminal').getBoundingClientRect().right,
}));

// Closes `page` once it has raised no error.
async function done(page) {
  const problems = page.problems;
  await page.close();
  assert.deepStrictEqual(problems, []);
}

async function step(page, { verb, argument: a, rows }) {
  const [selector, ...words_] = a.split(' ');
  const rest = words_.join(' ');
  switch (verb) {
    case 'type': await page.keyboard.type(a); return page.keyboard.press('Enter');
    case 'keys': return page.keyboard.type(a);
    case 'press': for (const key of a.split(' ')) await page.keyboard.press(key); return;
    // A paste as a browser makes it: a paste event on the terminal's input.
    case 'paste': return page.evaluate((text) => {
      const data = new DataTransfer();
      data.setData('text/plain', text);
      document.querySelector('.xterm-helper-textarea')
        .dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true }));
    }, JSON.parse(a));
    case 'screen': return eventually(page, (got) => assert.deepStrictEqual(got, rows));
    case 'tail':
      return eventually(page, (got) => assert.deepStrictEqual(got.slice(-rows.length), rows));
    case 'words': return eventually(page, (got) => {
      assert.deepStrictEqual(words(got.join(' ')).slice(-words(a).length), words(a));
    });
    case 'all-words':
      return assert.deepStrictEqual(words((await screen(page)).join(' ')), words(a));
    case 'shows': return assert.strictEqual(await page.textContent(selector), rest);
    case 'match':
      await page.waitForFunction((s) => document.querySelector(s).textContent !== '', selector);
      return assert.match(await page.textContent(selector), new RegExp(rest));
    case 'title': return assert.strictEqual(await page.title(), a);
    case 'shown': return page.waitForSelector(a, { state: 'visible' });
    case 'hidden': return assert.strictEqual(await page.isVisible(a), false, `${a} is shown`);
    case 'none': return assert.strictEqual(await page.locator(a).count(), 0);
    case 'attribute':
      return assert.strictEqual(await page.getAttribute(selector, words_[0]), words_[1]);
    case 'open-file':
      return page.setInputFiles('#world-file',
                                { name: a, mimeType: 'text/plain', buffer: Buffer.from(cabin) });
    case 'drop': {
      const file = await page.evaluateHandle(([text, name]) => {
        const transfer = new DataTransfer();
        transfer.items.add(new File([text], name, { type: 'text/plain' }));
        return transfer;
      }, [cabin, a]);
      return page.dispatchEvent('body', 'drop', { dataTransfer: file });
    }
    case 'click': return page.click(a);
    case 'tap-at': return page.tap(a);
    case 'tap': return page.getByRole('button', { name: a }).tap();
    case 'focus': {
      const id = selector === '""' ? '' : selector;
      // The focused element, and whether it (or the terminal holding it) shows the focus.
      const got = await page.evaluate(() => ({
        id: document.activeElement.id || document.activeElement.className,
        outline: getComputedStyle(document.activeElement.closest('#terminal') ||
                                  document.activeElement).outlineStyle !== 'none',
      }));
      return assert.deepStrictEqual(rest === 'outlined' ? got : got.id,
                                    rest ? { id, outline: true } : id);
    }
    case 'focused-line':
      return assert.strictEqual(await page.evaluate(() => document.activeElement.dataset.line), a);
    case 'disabled':
      return assert.deepStrictEqual(
        await page.$$eval('#commands button', (buttons) => buttons.map((b) => b.disabled)),
        JSON.parse(a));
    case 'accessible': return expectAccessible(page, a);
    case 'passage': return assert.deepStrictEqual(await passages(page), [rows]);
    case 'last-passage': return assert.strictEqual((await passages(page)).pop().join(' '), a);
    case 'call': return hooks[a](page);
    default: throw new Error(`no step ${verb}`);
  }
}

for (const play of plays) {
  const publishes = play.steps.some((s) => s.argument === 'publish');
  const skip = publishes && !worldTool && 'WANDER_WORLD_TOOL is not set';
  test(play.title, { skip }, async () => {
    let page = null;
    try {
      for (const s of play.steps) {
        if (s.verb === 'open' || s.verb === 'open-phone') {
          if (page) await done(page);
          page = null;
          // A path from / is on the site; any other, in worldsFolder, opened from disk.
          const url = s.argument.startsWith('/') ? `${site}${s.argument}`
            : pathToFileURL(path.join(worldsFolder, s.argument)).href;
          page = await openPage(url, s.verb === 'open' ? undefined : phone);
          continue;
        }
        try {
          await step(page, s);
        } catch (error) {
          error.message = `${s.at}\n${error.message}`;
          throw error;
        }
      }
      await done(page);
      page = null;
    } finally {
      if (page) await page.close();
      servedFolder = pageFolder;
    }
  });
}
