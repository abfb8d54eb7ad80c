// The studio (studio.html) in Debian's Chromium through playwright-core, from disk, as an
// author uses it by keyboard and buttons; and the server in its worker held to the native
// `wander-world lsp`, message for message, on the session of studio_test.json.
//
//   WANDER_PAGE=build/page WANDER_WORLD_TOOL=build/wander-world node --test web/studio_test.js
'use strict';

const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');

const pageFolder = path.resolve(process.env.WANDER_PAGE || 'build/page');
const studioUrl = pathToFileURL(path.join(pageFolder, 'studio.html')).href;
const sample = fs.readFileSync(path.join(__dirname, '../examples/World.txt'), 'utf8');

let browser;
before(async () => {
  browser = await chromium.launch({ executablePath: process.env.WANDER_CHROMIUM || '/usr/bin/chromium' });
});
after(() => browser && browser.close());

async function openStudio(context) {
  const page = await context.newPage();
  page.problems = [];
  page.on('pageerror', (error) => page.problems.push(error.message));
  await page.goto(studioUrl);
  await page.waitForSelector('.cm-content');
  return page;
}

const text = (page) => page.evaluate(() => window.wanderStudioText());
const problems = (page) => page.textContent('#problems');

// axe-core finds nothing serious or critical.
async function expectAccessible(page) {
  await page.addScriptTag({ path: require.resolve('axe-core/axe.min.js') });
  const { violations } = await page.evaluate(() => window.axe.run());
  console.log(`axe-core: ${violations.map((v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target).join(' ')}`).join(', ') || 'none'}`);
  assert.deepStrictEqual(violations.filter((v) => /serious|critical/.test(v.impact)).map((v) => v.help), []);
}

// Puts the cursor at the end of the first line that holds `line`, found as an author would.
async function cursorAfter(page, line) {
  await page.focus('.cm-content');
  await page.keyboard.press('Control+Home');
  await page.keyboard.press('Control+f');
  await page.keyboard.type(line);
  await page.keyboard.press('Enter');
  await page.keyboard.press('Escape');
  await page.keyboard.press('End');
}

test('an author writes, mends, renames, maps, plays, keeps and checks a world from disk', async () => {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  const away = [];
  context.on('request', (request) => {
    if (!/^(file|data|blob):/.test(request.url())) away.push(request.url());
  });
  let page = await openStudio(context);
  await page.waitForFunction(() => document.querySelector('#problems-summary').textContent === 'No problems.');
  console.log(`ready to type after ${await page.evaluate(() =>
    Math.round(performance.getEntriesByName('wander-studio-ready')[0].startTime))} ms`);
  assert.strictEqual(await text(page), sample);
  assert.strictEqual(await page.getAttribute('.cm-content', 'aria-label'), 'World.txt');

  // A slip: underlined, listed with its line, kind and notes, and mended by its button.
  await cursorAfter(page, 'East: Cottage');
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Backspace');
  await page.keyboard.type('ge');
  for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowLeft');
  const typed = await page.evaluate(() => performance.now());
  await page.keyboard.press('Backspace');
  const mend = page.getByRole('button', { name: "Replace 'Cotage' with 'Cottage'" });
  await mend.waitFor();
  console.log(`problems shown ${Math.round(await page.evaluate((t) =>
    performance.getEntriesByName('wander-problems-shown').pop().startTime - t, typed))} ms after the last key`);
  assert.match(await problems(page), /Line 56: error: room 'Yard': the east exit leads to room 'Cotage'.*\[missing-block\]/);
  assert.match(await problems(page), /Line 73: note: room 'Cottage' cannot be reached/);
  await page.waitForSelector('.cm-lintRange-error');
  await page.getByRole('button', { name: /^Line 73: note/ }).click();
  assert.strictEqual(await page.textContent('.cm-activeLine'), '<Cottage>');
  await page.getByRole('button', { name: /^Line 56: error/ }).click();
  assert.strictEqual(await page.textContent('.cm-activeLine'), 'East: Cotage');
  await mend.click();
  await page.waitForFunction(() => document.querySelector('#problems-summary').textContent === 'No problems.');
  assert.strictEqual(await text(page), sample);

  // Completion, hover, going to the block, renaming.
  await cursorAfter(page, 'East: Cottage');
  for (let i = 0; i < 5; ++i) await page.keyboard.press('Backspace');
  await page.keyboard.press('Control+Space');
  await page.locator('.cm-tooltip-autocomplete', { hasText: 'Cottage' }).waitFor();
  await page.waitForTimeout(100);  // the list takes no key sooner
  await page.keyboard.press('Enter');
  assert.strictEqual(await text(page), sample);
  await page.locator('.cm-line', { hasText: /^East: Cottage$/ }).getByText('Cottage').hover();
  await page.locator('.cm-tooltip-hover', { hasText: 'Cottage' }).waitFor();
  await page.keyboard.press('F12');
  await page.waitForFunction(() => document.querySelector('.cm-activeLine').textContent === '<Cottage>');
  await page.keyboard.press('F2');
  await page.fill('.cm-lsp-rename-panel input[name=name]', 'Croft');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.querySelector('#map-view').textContent.includes('Croft'));
  assert.strictEqual(await text(page), sample.replace(/Cottage/g, 'Croft'));

  // The map is one Tab stop, after the editor, at the starting room; the arrows follow the exits,
  // else go to the nearest room that way; Enter goes to the room's block.
  const inMap = () => page.evaluate(() => document.activeElement.closest('#map-view .room')?.getAttribute('aria-label'));
  await page.focus('.cm-content');
  await page.keyboard.press('Tab');
  assert.strictEqual(await inMap(), 'Jetty (starting room)');
  await page.keyboard.press('Tab');
  assert.strictEqual(await inMap(), undefined);
  await page.keyboard.press('Shift+Tab');
  const walked = [];
  for (const key of ['ArrowUp', 'ArrowUp', 'ArrowRight', 'ArrowDown', 'ArrowRight']) {
    await page.keyboard.press(key);
    walked.push(await inMap());
  }
  assert.deepStrictEqual(walked, ['Path', 'Yard', 'Croft', 'Rocks', 'Rocks']);
  await page.keyboard.press('Enter');
  assert.strictEqual(await page.textContent('.cm-activeLine'), '<Rocks>');

  // The text is kept: a reload shows it again.
  await page.waitForFunction((kept) => localStorage.getItem('wander-studio/world/World.txt') === kept,
                             sample.replace(/Cottage/g, 'Croft'));
  await page.reload();
  await page.waitForSelector('.cm-content');
  assert.strictEqual(await text(page), sample.replace(/Cottage/g, 'Croft'));

  // Play plays the text in the editor.
  await cursorAfter(page, '*');
  await page.keyboard.press('Home');
  await page.keyboard.type('Gulls cry. ');
  await page.getByRole('button', { name: 'Play', exact: true }).click();
  await page.waitForFunction(() => window.wanderScreen().some((row) => row.includes('Gulls cry.')));
  // ... and from the room of the cursor's block, when asked.
  await cursorAfter(page, '<Tower>');
  await page.check('#play-here');
  await page.getByRole('button', { name: 'Play', exact: true }).click();
  await page.waitForFunction(() => (window.wanderScreen()[0] || '').startsWith('The base of the lighthouse.'));
  await page.uncheck('#play-here');

  // Publish downloads one file that plays the edited world on its own, from disk.
  await page.fill('#publish-title', 'Gull Rock');
  const [download] = await Promise.all([page.waitForEvent('download'),
                                        page.getByRole('button', { name: 'Publish', exact: true }).click()]);
  const published = path.join(fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'studio-')), 'World.html');
  await download.saveAs(published);
  const player = await context.newPage();
  await player.goto(pathToFileURL(published).href);
  await player.waitForFunction(() => window.wanderScreen().some((row) => row.includes('Gulls cry.')));
  assert.strictEqual(await player.title(), 'Gull Rock');
  await player.close();
  fs.rmSync(path.dirname(published), { recursive: true });

  // Open world… takes in a file, which is kept under its own name; Save gives it back.
  const other = path.join(fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'studio-')), 'Hut.txt');
  const hut = 'Start: Hut\n<Hut>\nA hut.\n*\nN: None E: None S: None W: None O: 0\n';
  fs.writeFileSync(other, hut);
  // A file that is no UTF-8 is not opened, to be changed unseen when saved.
  await page.setInputFiles('#studio-file', { name: 'Old.txt', mimeType: 'text/plain', buffer: Buffer.from('Start: Caf\xe9\n', 'latin1') });
  await page.waitForFunction(() => document.querySelector('#status').textContent.startsWith('Old.txt is not UTF-8'));
  await page.setInputFiles('#studio-file', other);
  await page.waitForFunction(() => document.querySelector('#map-view').textContent === 'Hut');
  const [saved] = await Promise.all([page.waitForEvent('download'),
                                     page.getByRole('button', { name: 'Save' }).click()]);
  assert.strictEqual(saved.suggestedFilename(), 'Hut.txt');
  assert.strictEqual(fs.readFileSync(await saved.path(), 'utf8'), hut);
  fs.rmSync(path.dirname(other), { recursive: true });
  await page.reload();
  assert.strictEqual(await text(page), hut);
  assert.strictEqual(await page.evaluate(() => localStorage.getItem('wander-studio/world/World.txt')),
                     sample.replace(/Cottage/g, 'Croft').replace('\n*\n', '\nGulls cry. *\n'));

  await expectAccessible(page);

  // On a phone: nothing scrolls sideways, and every part is reached.
  await page.setViewportSize({ width: 390, height: 844 });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 390));
  await expectAccessible(page);
  for (const name of ['Problems', 'Map', 'Play', 'Publish']) {
    await page.getByRole('region', { name }).scrollIntoViewIfNeeded();
    assert.ok(await page.getByRole('region', { name }).isVisible(), name);
  }
  assert.deepStrictEqual([...page.problems, ...away], []);
  await context.close();
});

// The session, through the worker and through `wander-world lsp`, gives the same messages; a
// world published as one file, the same bytes.
test('the worker answers as the native server', { skip: !process.env.WANDER_WORLD_TOOL }, async () => {
  const world = sample.replace('East: Cottage', 'East: Cotage');
  const session = JSON.parse(fs.readFileSync(path.join(__dirname, 'studio_test.json'), 'utf8'))
    .map((m) => (typeof m === 'string' ? m : JSON.stringify(m).replace('$WORLD', () => JSON.stringify(world).slice(1, -1))));
  const framed = session.map((m) => `Content-Length: ${Buffer.byteLength(m)}\r\n\r\n${m}`).join('');
  const native = execFileSync(process.env.WANDER_WORLD_TOOL, ['lsp'], { input: framed }).toString()
    .split(/Content-Length: \d+\r\n\r\n/).slice(1);
  const context = await browser.newContext();
  const page = await openStudio(context);
  await page.waitForFunction(() => typeof wanderStudioWorker === 'function');
  const worker = await page.evaluate((messages) => new Promise((resolve) => {
    const url = URL.createObjectURL(new Blob([`(${wanderStudioWorker.toString()})()`]));
    const said = [];
    const worker = new Worker(url);
    worker.onmessage = (event) => said.push(event.data.lsp);
    for (const message of messages) worker.postMessage({ lsp: message });
    setTimeout(() => resolve(said), 3000);
  }), session);
  assert.ok(native.length > 8);
  assert.deepStrictEqual(worker, native);

  // One publisher: the worker's single file is the command line's, byte for byte.
  const single = await page.evaluate((world) => new Promise((resolve) => {
    window.wanderStudioPage = (files) => {
      const worker = new Worker(URL.createObjectURL(new Blob([`(${wanderStudioWorker.toString()})()`])));
      worker.onmessage = (event) => event.data.published !== undefined && resolve(event.data.published);
      worker.postMessage({ publish: JSON.stringify({ files, name: 'World.txt', world, title: 'T', byline: 'B' }) });
    };
    document.head.append(Object.assign(document.createElement('script'), { src: 'studio-page.js' }));
  }), sample);
  const folder = fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'studio-'));
  execFileSync(process.env.WANDER_WORLD_TOOL, ['publish', '--single-file', '--title', 'T', '--byline', 'B',
    '--page', path.dirname(new URL(studioUrl).pathname), path.join(__dirname, '../examples/World.txt'),
    path.join(folder, 'World.html')]);
  assert.strictEqual(single, `P${fs.readFileSync(path.join(folder, 'World.html'), 'utf8')}`);
  fs.rmSync(folder, { recursive: true });
  await context.close();
});

// From a static web server too (the page's folder as it is, served by node), the worker checks.
test('the studio works from a web server', async () => {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css' };
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://x').pathname);
    fs.readFile(path.join(pageFolder, name), (error, bytes) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': types[path.extname(name)] || 'text/plain' });
      response.end(error ? '' : bytes);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const context = await browser.newContext();
  const page = await context.newPage();
  page.on('pageerror', (error) => assert.fail(error.message));
  await page.goto(`http://127.0.0.1:${server.address().port}/studio.html`);
  await page.waitForFunction(() => document.querySelector('#problems-summary').textContent === 'No problems.');
  await context.close();
  server.close();
});
