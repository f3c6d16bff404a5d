// The web page's figures in headless Chromium, the site served by Python's
// http.server on 127.0.0.1 as scripts/web.sh serves it (run it through
// bench/web.sh):
//   transfer_kb      the files the page loads, gzipped (-9) as a host would send them;
//                    site_kb the whole site, which its service worker fetches on the
//                    first visit
//   first_battle_ms  navigation start to the first frame that shows the first battle,
//                    median of RUNS fresh loads (cache and service worker off)
//   cpu_pct          the browser's processes, all of them, per cent of one core over
//                    MEASURE_SECONDS of a full battle (12 fleets of the left button on a
//                    4 x 3 grid, as bench/window.sh drops them; measured from 2 s after the
//                    last), and over the same time with an empty page (page_pct is the
//                    difference) and with a page that only changes one pixel of a canvas
//                    25 times a second (one_pixel_page: the browser's own cost of showing
//                    25 frames a second)
//   interval_p99_ms  the tick interval's 99th percentile over the measured seconds
//
//   node bench/web_bench.mjs SITE_DIR   SIZES="800x600 1920x1080" MEASURE_SECONDS=20 RUNS=7
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';

const top = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const puppeteer = createRequire(path.join(top, 'tests/web/package.json'))('puppeteer-core');
const site = path.resolve(process.argv[2] || path.join(top, 'build/web/site'));
const sizes = (process.env.SIZES || '800x600 1920x1080').split(/\s+/).filter(Boolean);
const measureSeconds = Number(process.env.MEASURE_SECONDS || 20);
const runs = Number(process.env.RUNS || 7);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// --- transfer size ---------------------------------------------------------
const gzipped = (name) => zlib.gzipSync(fs.readFileSync(path.join(site, name)), { level: 9 }).length;
const loaded = ['index.html', 'kelvarin.js', 'page.js', 'icon.png', 'worker.js'];
const transfer = loaded.reduce((sum, name) => sum + gzipped(name), 0);
const whole = fs.readdirSync(site).reduce((sum, name) => sum + gzipped(name), 0);
console.log(`transfer_kb ${(transfer / 1024).toFixed(1)} (${loaded.map((n) => `${n} ${(gzipped(n) / 1024).toFixed(1)}`).join(', ')}) site_kb ${(whole / 1024).toFixed(1)}`);

// --- the server and the browser ----------------------------------------------
const port = await new Promise((done) => {
  const probe = net.createServer().listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => done(port));
  });
});
const server = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', String(port)],
  { cwd: site, stdio: 'ignore' });
process.on('exit', () => server.kill());  // also when a step fails
const origin = `http://127.0.0.1:${port}`;
for (let i = 0; i < 100; i++) {
  const up = await new Promise((done) => {
    const socket = net.connect(port, '127.0.0.1', () => { socket.end(); done(true); });
    socket.on('error', () => done(false));
  });
  if (up) break;
  await sleep(50);
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvarin-bench-'));
const args = ['--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--disable-default-apps', '--disable-extensions', '--mute-audio'];
if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium', userDataDir: profile, args, headless: true,
});

// CPU seconds of the browser and every process under it (utime + stime).
const tick = 100;  // USER_HZ
function browserCpu() {
  const parents = new Map();
  const cpu = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'latin1');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parents.set(Number(entry), Number(fields[1]));
      cpu.set(Number(entry), (Number(fields[11]) + Number(fields[12])) / tick);
    } catch (e) {
      // gone meanwhile
    }
  }
  const root = browser.process().pid;
  let total = 0;
  for (const [pid, seconds] of cpu) {
    for (let p = pid; p > 1; p = parents.get(p)) {
      if (p === root) {
        total += seconds;
        break;
      }
    }
  }
  return total;
}

async function cpuOver(seconds) {
  const c0 = browserCpu();
  const t0 = performance.now();
  await sleep(seconds * 1000);
  return ((browserCpu() - c0) / ((performance.now() - t0) / 1000)) * 100;
}

// --- navigation to the first battle ------------------------------------------
const firstBattle = [];
for (let run = 0; run < runs; run++) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  await page.setBypassServiceWorker(true);
  await page.setViewport({ width: 800, height: 600, deviceScaleFactor: 1 });
  await page.evaluateOnNewDocument(() => {
    const look = () => {
      const s = window.kelvarin && window.kelvarin.state();
      if (s && s.ships.length > 0) window.firstBattleAt = performance.now();
      else requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  });
  await page.goto(`${origin}/index.html`);
  await page.waitForFunction(() => window.firstBattleAt !== undefined);
  firstBattle.push(await page.evaluate(() => window.firstBattleAt));
  await page.close();
}
console.log(`first_battle_ms ${median(firstBattle).toFixed(0)} (runs ${firstBattle.map((t) => t.toFixed(0)).join(' ')})`);

// --- CPU and the tick interval -----------------------------------------------
const [blank] = await browser.pages();
await blank.setViewport({ width: 800, height: 600, deviceScaleFactor: 1 });
await blank.goto('about:blank');
const empty = await cpuOver(measureSeconds);
console.log(`empty_page cpu_pct ${empty.toFixed(2)}`);
// What any page costs the browser that changes its canvas 25 times a second: one pixel of
// an 800 x 600 canvas, put on the next animation frame, as the battle's page puts its tiles.
await blank.setContent(`<body style="margin:0;overflow:hidden"><canvas width="800" height="600"></canvas><script>
  const context = document.querySelector('canvas').getContext('2d', { alpha: false });
  const pixel = new ImageData(1, 1);
  let n = 0;
  setInterval(() => requestAnimationFrame(() => {
    pixel.data.set([n++ % 256, 0, 0, 255]);
    context.putImageData(pixel, n % 800, 300);
  }), 40);
</script>`);
const floor = await cpuOver(measureSeconds);
console.log(`one_pixel_page cpu_pct ${floor.toFixed(2)}`);
await blank.goto('about:blank');

for (const size of sizes) {
  const [width, height] = size.split('x').map(Number);
  const page = await browser.newPage();
  await page.setViewport({ width, height, deviceScaleFactor: 1 });
  await page.goto(`${origin}/index.html?seed=315`);
  await page.waitForFunction(() => window.kelvarin && kelvarin.state() && kelvarin.state().ships.length > 0);
  for (let j = 0; j < 3; j++) {
    for (let i = 0; i < 4; i++) {
      await page.mouse.click(((2 * i + 1) * width) / 8, ((2 * j + 1) * height) / 6);
    }
  }
  await sleep(2000);
  await page.evaluate(() => {
    window.tickTimes = [];
    kelvarin.onTick = (now) => tickTimes.push(now);
  });
  const cpu = await cpuOver(measureSeconds);
  const times = await page.evaluate(() => tickTimes);
  const intervals = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
  const p99 = intervals[Math.min(intervals.length - 1, Math.floor(intervals.length * 0.99))];
  const ships = (await page.evaluate(() => kelvarin.state().ships.length));
  console.log(`size ${size} cpu_pct ${cpu.toFixed(2)} page_pct ${(cpu - empty).toFixed(2)} ticks ${times.length} ` +
    `interval_median_ms ${median(intervals).toFixed(1)} interval_p99_ms ${p99.toFixed(1)} ships_at_end ${ships}`);
  await page.close();
}

await browser.close();
server.kill();
fs.rmSync(profile, { recursive: true, force: true });
