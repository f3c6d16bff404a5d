// The web page in a real browser (Debian's Chromium, headless, through
// puppeteer-core): one browser with a fresh profile for every check, the site
// served by this script on 127.0.0.1, the pictures compared with the native
// program's. From the first page on, the site's service worker answers the
// later pages, as it does a returning visitor's; the last check stops the server.
//
//   node tests/web/page_test.mjs SITE_DIR KELVARIN
//
// SITE_DIR is build/web/site, KELVARIN the native program (build/release/kelvarin),
// which draws the reference pictures. CHROMIUM names another browser binary.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

const [siteArg, kelvarinArg] = process.argv.slice(2);
if (!siteArg || !kelvarinArg) {
  console.error('usage: node page_test.mjs SITE_DIR KELVARIN');
  process.exit(2);
}
const site = path.resolve(siteArg);
const kelvarin = path.resolve(kelvarinArg);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvarin-web-'));
process.on('exit', () => fs.rmSync(work, { recursive: true, force: true }));

// --- the native pictures -------------------------------------------------

// The picture the native runner draws of the page's `?seed=S&ticks=N` at W x H.
function nativePicture(width, height, seed, ticks) {
  const file = path.join(work, `native-${width}x${height}-${seed}-${ticks}.png`);
  const script = `surface ${width} ${height}\nseed ${seed}\nset IdleTicks 146\ntick ${ticks}\npng ${file}\n`;
  execFileSync(kelvarin, ['--script', '-'], { input: script, stdio: ['pipe', 'ignore', 'inherit'] });
  return decodePng(fs.readFileSync(file));
}

// A non-interlaced 8-bit RGB or RGBA PNG as { width, height, rgba }.
function decodePng(bytes) {
  let at = 8;
  let header = null;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') header = body;
    if (type === 'IDAT') data.push(body);
    at += 12 + length;
  }
  const width = header.readUInt32BE(0);
  const height = header.readUInt32BE(4);
  const [depth, colour, , , interlace] = header.subarray(8);
  if (depth !== 8 || (colour !== 2 && colour !== 6) || interlace !== 0) {
    throw new Error(`unexpected PNG: depth ${depth}, colour type ${colour}, interlace ${interlace}`);
  }
  const channels = colour === 6 ? 4 : 3;
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = rows.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? rows.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let i = 0; i < stride; i++) {
      const a = i >= channels ? out[i - channels] : 0;
      const b = up[i];
      const c = i >= channels ? up[i - channels] : 0;
      let p = line[i];
      if (filter === 1) p += a;
      else if (filter === 2) p += b;
      else if (filter === 3) p += (a + b) >> 1;
      else if (filter === 4) {
        const pa = Math.abs(b - c), pb = Math.abs(a - c), pc = Math.abs(a + b - 2 * c);
        p += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[i] = p & 0xff;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let i = 0, j = 0; i < rgba.length; i += 4, j += channels) {
    rgba[i] = rows[j];
    rgba[i + 1] = rows[j + 1];
    rgba[i + 2] = rows[j + 2];
    rgba[i + 3] = channels === 4 ? rows[j + 3] : 255;
  }
  return { width, height, rgba };
}

// --- the server and the browser ------------------------------------------

const types = { '.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png', '.txt': 'text/plain',
  '.webmanifest': 'application/manifest+json' };
let newVersion = false;  // serves the service worker with another cache name, as a new site would
const server = http.createServer((request, response) => {
  const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
  const file = path.join(site, name.endsWith('/') ? name + 'index.html' : name);
  if (!file.startsWith(site + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
  const body = fs.readFileSync(file);
  response.end(newVersion && name === '/worker.js' ? body.toString().replace(/(const kCache = .*)`/, '$1-new`') : body);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

const args = ['--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--disable-default-apps', '--disable-extensions', '--mute-audio'];
if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  userDataDir: path.join(work, 'profile'),
  args,
  headless: true,
});

const requests = [];  // every URL any page asked for
let failures = 0;

async function check(name, body) {
  const started = Date.now();
  try {
    await body();
    console.log(`ok   ${name} (${Date.now() - started} ms)`);
  } catch (error) {
    failures++;
    console.log(`FAIL ${name}: ${error.message}`);
  }
}

function expect(condition, message) {
  if (!condition) throw new Error(message);
}

// A new tab at the given viewport, on the page with `query`.
async function open(query, viewport = { width: 800, height: 600, deviceScaleFactor: 1 }, base = origin) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('request', (request) => requests.push(request.url()));
  page.errors = errors;
  await page.setViewport(viewport);
  await page.goto(`${base}/index.html${query}`);
  await page.waitForFunction(() => window.kelvarin && kelvarin.state() !== null);
  return page;
}

const state = (page) => page.evaluate(() => kelvarin.state());
const text = (page, id) => page.evaluate((id) => document.getElementById(id).textContent, id);
// Two animation frames: whatever was drawn is on the canvas.
const painted = (page) =>
  page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
// Waits on the page's own clock.
const pause = (page, ms) => page.evaluate((ms) => new Promise((done) => setTimeout(done, ms)), ms);

// The canvas's pixels, RGBA.
async function canvasPixels(page) {
  await painted(page);
  const picture = await page.evaluate(() => {
    const canvas = document.getElementById('battle');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let binary = '';
    for (let i = 0; i < data.length; i += 0x8000) {
      binary += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    }
    return { width: canvas.width, height: canvas.height, base64: btoa(binary) };
  });
  return { width: picture.width, height: picture.height, rgba: Buffer.from(picture.base64, 'base64') };
}

function samePicture(got, want) {
  expect(got.width === want.width && got.height === want.height,
    `the canvas is ${got.width}x${got.height}, the native picture ${want.width}x${want.height}`);
  let differing = 0;
  let first = -1;
  for (let i = 0; i < want.rgba.length; i += 4) {
    if (got.rgba.readUInt32LE(i) !== want.rgba.readUInt32LE(i)) {
      if (differing++ === 0) first = i / 4;
    }
  }
  expect(differing === 0, `${differing} pixels differ, the first at ` +
    `(${first % want.width}, ${Math.floor(first / want.width)})`);
}

function lit(picture) {
  let count = 0;
  for (let i = 0; i < picture.rgba.length; i += 4) {
    if ((picture.rgba.readUInt32LE(i) & 0xffffff) !== 0) count++;
  }
  return count;
}

const version = execFileSync(kelvarin, ['--version']).toString().trim();

// --- the checks ----------------------------------------------------------

await check('the battle of seed=S&ticks=N is the native picture, at 800x600 and at 700x300 by 1.25', async () => {
  const page = await open('?seed=315&ticks=400');
  expect((await page.title()) === version, `the title is "${await page.title()}", not "${version}"`);
  const s = await state(page);
  expect(s.ticks === 400 && s.width === 800 && s.height === 600, `state ${JSON.stringify(s).slice(0, 80)}`);
  const want = nativePicture(800, 600, 315, 400);
  expect(lit(want) > 100, 'the native picture shows no battle');
  samePicture(await canvasPixels(page), want);
  expect((await text(page, 'notice')) === '' && (await text(page, 'seed')) === '', 'a line is shown');
  const scroll = await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.scrollHeight]);
  expect(scroll[0] <= 800 && scroll[1] <= 600, `the page scrolls: ${scroll}`);
  await pause(page, 200);
  expect((await state(page)).ticks === 400, 'ticking went on after ticks=N');
  expect(page.errors.length === 0, page.errors.join('; '));
  await page.close();

  // Not 4:3, the largest seed, and a ratio whose pixels only the device count gives.
  const wide = await open('?seed=18446744073709551615&ticks=250', { width: 700, height: 300, deviceScaleFactor: 1.25 });
  samePicture(await canvasPixels(wide), nativePicture(875, 375, '18446744073709551615', 250));
  await wide.close();
});

await check('at a device pixel ratio of 2 the canvas has device pixels: lines one device pixel wide', async () => {
  const page = await open('?seed=315&ticks=400', { width: 400, height: 300, deviceScaleFactor: 2 });
  samePicture(await canvasPixels(page), nativePicture(800, 600, 315, 400));
  const size = await page.evaluate(() => {
    const c = document.getElementById('battle');
    return [c.clientWidth, c.clientHeight];
  });
  expect(size[0] === 400 && size[1] === 300, `the canvas shows at ${size}, not 400x300`);
  await page.close();
});

await check('clicks with each button, a tap, Enter; Escape ends it', async () => {
  // 1000 x 500: the logical point of a click is scaled differently each way.
  const page = await open('?seed=5&ticks=20', { width: 1000, height: 500, deviceScaleFactor: 1 });
  await page.evaluate(() => {
    window.menus = [];
    window.addEventListener('contextmenu', (event) => menus.push(event.defaultPrevented));
  });
  let before = await state(page);
  const fleets = [
    ['left', 250, 125, 200, 150, true],
    ['right', 750, 375, 600, 450, false],
    ['middle', 500, 250, 400, 300, false],
  ];
  for (const [button, px, py, x, y, flagship] of fleets) {
    await page.mouse.click(px, py, { button });
    const after = await state(page);
    const added = after.ships.filter((ship) => !before.ships.some((old) => old.slot === ship.slot));
    const team = (before.nextTeam + 1) % 3;
    expect(added.length === 5, `${button}: ${added.length} ships added, not 5`);
    expect(after.nextTeam === team && added.every((ship) => ship.team === team), `${button}: not team ${team}`);
    expect(added.every((ship) => Math.abs(ship.x - x) < 1e-3 && Math.abs(ship.y - y) < 1e-3),
      `${button}: not at (${x}, ${y}): ${JSON.stringify(added[0])}`);
    const flagships = added.filter((ship) => ship.size === 5).length;
    expect(flagships === (flagship ? 1 : 0), `${button}: ${flagships} flagships`);
    if (button === 'right') {
      await page.waitForFunction(() => menus.length > 0);
      expect((await page.evaluate(() => menus.join())) === 'true', 'the context menu was not prevented');
    }
    before = after;
  }
  await page.touchscreen.tap(100, 400);
  await pause(page, 100);
  let after = await state(page);
  const tapped = after.ships.filter((ship) => !before.ships.some((old) => old.slot === ship.slot));
  expect(tapped.length === 5 && tapped.filter((ship) => ship.size === 5).length === 1,
    `a tap added ${tapped.length} ships, not one fleet with a flagship`);

  expect(after.purge === 0, 'purging before Enter');
  await page.keyboard.press('Enter');
  expect((await state(page)).purge === -1, 'Enter did not start the purge');

  await page.keyboard.press('Escape');
  const notice = await text(page, 'notice');
  expect(/reload/i.test(notice) && notice.includes('seed 5'), `after Escape: "${notice}"`);
  before = await state(page);
  await page.mouse.click(500, 250);
  after = await state(page);
  expect(after.ships.length === before.ships.length, 'a click after Escape dropped a fleet');
  expect(page.errors.length === 0, page.errors.join('; '));
  await page.close();

  // A running battle stops ticking at Escape.
  const running = await open('?seed=9');
  await running.waitForFunction(() => kelvarin.state().ticks >= 5);
  await running.keyboard.press('Escape');
  const stopped = (await state(running)).ticks;
  await pause(running, 300);
  expect((await state(running)).ticks === stopped, 'ticking went on after Escape');
  await running.close();
});

await check('a resize re-fits and clears the picture', async () => {
  const page = await open('?seed=315&ticks=400');
  expect(lit(await canvasPixels(page)) > 100, 'no battle before the resize');
  await page.setViewport({ width: 640, height: 400, deviceScaleFactor: 1 });
  await page.waitForFunction(() => kelvarin.state().width === 640 && kelvarin.state().height === 400);
  const picture = await canvasPixels(page);
  expect(picture.width === 640 && picture.height === 400, `canvas ${picture.width}x${picture.height}`);
  expect(lit(picture) === 0 && picture.rgba.readUInt32LE(0) === 0xff000000, 'the picture was not cleared to black');
  await page.close();
});

await check('25 ticks a second; a hidden tab does not tick and catches up nothing', async () => {
  const page = await open('?seed=11');
  // The rate, by the page's tick count over 2 s of its clock.
  const rate = await page.evaluate(() => new Promise((done) => {
    const t0 = performance.now();
    const n0 = kelvarin.state().ticks;
    setTimeout(() => done((kelvarin.state().ticks - n0) * 1000 / (performance.now() - t0)), 2000);
  }));
  expect(rate > 20 && rate < 25.8, `${rate.toFixed(2)} ticks a second`);
  expect((await state(page)).ships.length > 0, 'no battle');

  const other = await browser.newPage();
  await other.bringToFront();
  await page.waitForFunction(() => document.hidden);
  const hidden = (await state(page)).ticks;
  await pause(other, 2000);
  const still = (await state(page)).ticks;
  expect(still === hidden, `${still - hidden} ticks while hidden`);
  await page.bringToFront();
  await page.waitForFunction(() => !document.hidden);
  const back = (await state(page)).ticks;
  expect(back - still <= 2, `${back - still} ticks at once on coming back`);
  await pause(page, 400);
  const later = (await state(page)).ticks - back;
  expect(later >= 4 && later <= 12, `${later} ticks in the 400 ms after coming back`);
  await other.close();
  await page.close();
});

await check('bad parameters are named in one line and ignored; a good +seed is read', async () => {
  const page = await open('?seed=-1&ticks=0&colour=red&seed=18446744073709551616');
  const notice = await text(page, 'notice');
  for (const part of ['seed=-1', 'ticks=0', 'colour', 'seed=18446744073709551616']) {
    expect(notice.includes(part), `"${notice}" does not name ${part}`);
  }
  expect(!notice.includes('\n'), 'more than one line');
  await page.waitForFunction(() => kelvarin.state().ticks >= 5);
  expect(/^seed \d+$/.test(await text(page, 'seed')), 'no seed shown for a battle of the time of day');
  expect(page.errors.length === 0, page.errors.join('; '));
  await page.close();

  for (const query of ['?seed=abc&ticks=100001', '?seed=1.5&ticks=1e3', '?seed=&ticks=', '?seed=%zz&ticks=%2B']) {
    const bad = await open(query);
    const line = await text(bad, 'notice');
    expect(line.startsWith('Ignored: ') && line.split(';').length === 2, `${query}: "${line}"`);
    expect(bad.errors.length === 0, bad.errors.join('; '));
    await bad.close();
  }

  const plus = await open('?seed=%2B315&ticks=400');
  samePicture(await canvasPixels(plus), nativePicture(800, 600, 315, 400));
  expect((await text(plus, 'notice')) === '', '+315 is not read as 315');
  await plus.close();
  const zero = await open('?seed=-0&ticks=7');
  samePicture(await canvasPixels(zero), nativePicture(800, 600, 0, 7));
  await zero.close();
});

await check('the seed shown for a time-of-day battle replays it', async () => {
  const page = await open('?ticks=300');
  const shown = (await text(page, 'seed')).replace('seed ', '');
  const href = await page.evaluate(() => document.querySelector('#seed a').getAttribute('href'));
  expect(href === `?seed=${shown}`, `the link is ${href}`);
  samePicture(await canvasPixels(page), nativePicture(800, 600, shown, 300));
  await page.close();
});

await check('from file:// the page works and fetches nothing from anywhere', async () => {
  const page = await open('?seed=315&ticks=400', undefined, `file://${site}`);
  samePicture(await canvasPixels(page), nativePicture(800, 600, 315, 400));
  expect(page.errors.length === 0, page.errors.join('; '));
  const stored = await page.evaluate(async () =>
    [localStorage.length, sessionStorage.length, document.cookie, (await indexedDB.databases()).length]);
  expect(stored.join() === '0,0,,0', `something is stored: ${stored}`);
  await page.close();
  const foreign = requests.filter((url) =>
    !url.startsWith(`${origin}/`) && !url.startsWith(`file://${site}/`) && !url.startsWith('data:'));
  expect(foreign.length === 0, `requests elsewhere: ${foreign.slice(0, 3).join(' ')}`);
});

await check('installable; a new version replaces the cache; with the server stopped the page still loads', async () => {
  const page = await open('?seed=315&ticks=400');
  const { installabilityErrors } = await (await page.createCDPSession()).send('Page.getInstallabilityErrors');
  expect(installabilityErrors.length === 0, `not installable: ${JSON.stringify(installabilityErrors)}`);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null).catch(() => {
    throw new Error('no service worker controls the page');
  });
  const [old] = await page.evaluate(() => caches.keys());
  newVersion = true;
  const caches = await page.evaluate(async (old) => {
    await (await navigator.serviceWorker.getRegistration()).update();
    for (let wait = 0; wait < 200 && (await caches.keys()).includes(old); wait++) {
      await new Promise((done) => setTimeout(done, 50));
    }
    return caches.keys();
  }, old);
  expect(caches.length === 1 && caches[0] === `${old}-new`, `caches ${caches.join(', ')} after ${old}`);

  server.close();
  server.closeAllConnections();
  const responses = [];
  page.on('response', (response) => responses.push(response));
  const reloaded = await page.reload();
  expect(reloaded !== null && reloaded.ok(), 'the page did not load without the server');
  await page.waitForFunction(() => window.kelvarin && kelvarin.state() !== null);
  samePicture(await canvasPixels(page), nativePicture(800, 600, 315, 400));
  const fetched = responses.filter((response) => !response.fromServiceWorker() && !response.url().startsWith('data:'));
  expect(responses.length >= 3 && fetched.length === 0, `not from the worker: ${fetched.map((r) => r.url()).join(' ')}`);
  expect(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

await browser.close();
server.close();
console.log(failures === 0 ? 'all page checks passed' : `${failures} page checks failed`);
process.exit(failures === 0 ? 0 : 1);
