// Times the web page's start: how long after the page starts loading its first description shows
// (the mark page.js sets at the game's first output), over fresh loads in headless Chromium, from
// disk and from a web server on the loopback address. Prints each load's time and the median.
//
//   node bench/page_load.js [PAGE_FOLDER] [LOADS]     e.g. node bench/page_load.js build-web/page 10
//
// Needs the page's npm packages (npm ci --prefix web) and Debian's chromium (WANDER_CHROMIUM to
// name another). Never run by the tests.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { chromium } = require(path.join(__dirname, '..', 'web', 'node_modules', 'playwright-core'));

const folder = path.resolve(process.argv[2] || 'build-web/page');
const loads = Number(process.argv[3] || 10);

// Milliseconds from the start of navigation to the first output, in a context of its own.
async function firstOutput(browser, url) {
  const context = await browser.newContext({ viewport: { width: 1000, height: 760 } });
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForFunction(() => performance.getEntriesByName('wander-first-output').length > 0);
  const ms = await page.evaluate(
    () => performance.getEntriesByName('wander-first-output')[0].startTime);
  await context.close();
  return ms;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

(async () => {
  const server = http.createServer((request, response) => {
    const name = new URL(request.url, 'http://localhost').pathname;
    fs.readFile(path.join(folder, name === '/' ? 'index.html' : name), (error, bytes) => {
      if (error) return response.writeHead(404).end();
      const type = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css' };
      response.writeHead(200, { 'Content-Type': type[path.extname(name)] || 'text/plain' });
      response.end(bytes);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const browser = await chromium.launch({
    executablePath: process.env.WANDER_CHROMIUM || '/usr/bin/chromium',
  });
  const places = {
    disk: pathToFileURL(path.join(folder, 'index.html')).href,
    server: `http://127.0.0.1:${server.address().port}/index.html`,
  };
  for (const [place, url] of Object.entries(places)) {
    const times = [];
    for (let i = 0; i < loads; ++i) times.push(await firstOutput(browser, url));
    console.log(`${place}: median ${Math.round(median(times))} ms ` +
                `(${times.map((t) => Math.round(t)).join(' ')})`);
  }
  await browser.close();
  server.close();
})();
