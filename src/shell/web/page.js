// The page around the battle (web_battle.cpp): the canvas at device pixels,
// the 40 ms clock, the input, the query string's seed= and ticks=, and the
// service worker's registration.
'use strict';

(function () {
  const kTickMs = 40;
  const kMaxSeed = (1n << 64n) - 1n;
  const kMaxTicks = 100000;
  const kButtons = { 0: 1, 1: 4, 2: 2 };  // event.button: left, middle, right
  const kKeys = { Enter: 13, Escape: 27 };

  const canvas = document.getElementById('battle');
  const context = canvas.getContext('2d', { alpha: false });
  const notice = document.getElementById('notice');
  const seedLine = document.getElementById('seed');

  // The script's integer rule: an optional sign and decimal digits.
  function integer(text) {
    return /^[+-]?[0-9]+$/.test(text) ? BigInt(text) : null;
  }

  // seed= and ticks= from the query string, read as they are written (a plus
  // is a plus); anything else, or a bad value, is named and ignored.
  function readParameters() {
    const found = { seed: null, ticks: null, problems: [] };
    for (const part of location.search.slice(1).split('&')) {
      if (part === '') continue;
      const at = part.indexOf('=');
      const name = at < 0 ? part : part.slice(0, at);
      let value = at < 0 ? '' : part.slice(at + 1);
      try {
        value = decodeURIComponent(value);
      } catch (e) {
        // Left as written: it is no number either.
      }
      const n = integer(value);
      if (name === 'seed') {
        if (n !== null && n >= 0n && n <= kMaxSeed) found.seed = n;
        else found.problems.push(`seed=${value} is not a whole number from 0 to ${kMaxSeed}`);
      } else if (name === 'ticks') {
        if (n !== null && n >= 1n && n <= BigInt(kMaxTicks)) found.ticks = Number(n);
        else found.problems.push(`ticks=${value} is not a whole number from 1 to ${kMaxTicks}`);
      } else {
        found.problems.push(`${name} is not a parameter of this page`);
      }
    }
    return found;
  }

  // The local time of day, finer than Date's milliseconds where the browser
  // allows: it seeds the battle and every click's fleet.
  function secondsSinceMidnight() {
    const now = performance.timeOrigin + performance.now();
    const midnight = new Date(now);
    midnight.setHours(0, 0, 0, 0);
    return (now - midnight.getTime()) / 1000;
  }

  // The canvas's size in device pixels, from the last resize observed.
  let pixelWidth = 0;
  let pixelHeight = 0;
  let kv = null;  // the battle, once its code is ready
  let started = false;
  let ended = false;
  let ticking = false;  // false after ticks=N, at the end and while hidden
  let timer = 0;
  let nextTick = 0;
  let paintWanted = false;
  let image = null;  // the picture's RGBA bytes as the canvas takes them
  let seedText = '';
  let stopAfter = null;  // N of ticks=N

  // The canvas and the picture at the observed size: a new black picture.
  function fit() {
    canvas.width = pixelWidth;
    canvas.height = pixelHeight;
    if (started) kv._kv_resize(pixelWidth, pixelHeight);
    image = null;
    wantPaint();
  }

  function wantPaint() {
    if (!paintWanted) {
      paintWanted = true;
      requestAnimationFrame(paint);
    }
  }

  // What changed since the last paint goes to the canvas, rectangle by rectangle.
  function paint() {
    paintWanted = false;
    if (!started) return;
    const count = kv._kv_take_dirty();
    const heap = kv.HEAPU8.buffer;
    if (image === null || image.data.buffer !== heap) {
      const bytes = new Uint8ClampedArray(heap, kv._kv_rgba(), pixelWidth * pixelHeight * 4);
      image = new ImageData(bytes, pixelWidth, pixelHeight);
    }
    const rects = new Int32Array(heap, kv._kv_rects(), count * 4);
    for (let i = 0; i < rects.length; i += 4) {
      context.putImageData(image, 0, 0, rects[i], rects[i + 1], rects[i + 2], rects[i + 3]);
    }
  }

  // One tick every 40 ms of the page's clock, whatever the display's rate.
  // When a tick comes so late that the next is already due, the schedule
  // starts again from it: no burst of catch-up ticks.
  function onTimer() {
    timer = 0;
    if (!ticking) return;
    kv._kv_tick(1);
    wantPaint();
    const now = performance.now();
    nextTick += kTickMs;
    if (nextTick <= now) nextTick = now + kTickMs;
    timer = setTimeout(onTimer, nextTick - now);
    if (window.kelvarin.onTick) window.kelvarin.onTick(now);
  }

  // The first tick `delay` ms from now, then one every 40 ms.
  function startTicking(delay) {
    if (ticking || ended || document.hidden) return;
    ticking = true;
    nextTick = performance.now() + delay;
    timer = setTimeout(onTimer, delay);
  }

  function stopTicking() {
    ticking = false;
    clearTimeout(timer);
    timer = 0;
  }

  function end() {
    ended = true;
    stopTicking();
    notice.textContent = `The battle is over: reload the page to start again (seed ${seedText}).`;
  }

  function start() {
    if (started || kv === null || pixelWidth === 0) return;
    const parameters = readParameters();
    if (parameters.seed !== null) {
      kv._kv_seed(Number(parameters.seed >> 32n), Number(parameters.seed & 0xffffffffn));
    } else {
      kv._kv_seed_from_time(secondsSinceMidnight());
    }
    seedText = kv.UTF8ToString(kv._kv_seed_text());
    if (parameters.seed === null) {
      const link = document.createElement('a');
      link.href = `?seed=${seedText}`;
      link.textContent = `seed ${seedText}`;
      link.title = 'This battle, to share or to see again';
      seedLine.append(link);
    }
    if (parameters.problems.length > 0) {
      notice.textContent = `Ignored: ${parameters.problems.join('; ')}.`;
    }
    kv._kv_start(pixelWidth, pixelHeight);
    started = true;
    wantPaint();
    if (parameters.ticks !== null) {
      kv._kv_tick(parameters.ticks);
      stopAfter = parameters.ticks;
    } else {
      startTicking(0);  // the battle's clock starts with the page
    }
  }

  // The canvas fills the viewport; its pixels are the device's, as the
  // browser counts them where it can (a ratio of 1.25 would blur otherwise),
  // unless that count is not the ratio's: DevTools' device emulation changes
  // the ratio alone.
  const observer = new ResizeObserver((entries) => {
    const entry = entries[entries.length - 1];
    let width = Math.max(1, Math.round(entry.contentRect.width * devicePixelRatio));
    let height = Math.max(1, Math.round(entry.contentRect.height * devicePixelRatio));
    const device = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
    if (device && Math.abs(device.inlineSize - width) <= 1 && Math.abs(device.blockSize - height) <= 1) {
      width = Math.max(1, device.inlineSize);
      height = Math.max(1, device.blockSize);
    }
    if (ended || (width === pixelWidth && height === pixelHeight)) return;
    pixelWidth = width;
    pixelHeight = height;
    fit();
    start();
  });
  function observe() {
    observer.disconnect();
    try {
      observer.observe(canvas, { box: 'device-pixel-content-box' });
    } catch (e) {
      observer.observe(canvas);
    }
  }
  // A new ratio (another screen, a zoom) may leave the CSS size as it was.
  function watchRatio() {
    matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener('change', () => {
      observe();
      watchRatio();
    }, { once: true });
  }
  observe();
  watchRatio();

  // A press of any of the three buttons, the first of a chord or not; a tap
  // is one press of the left button.
  function press(event) {
    const button = kButtons[event.button];
    if (button === undefined || (event.buttons & button) === 0) return;
    event.preventDefault();
    if (!started || ended) return;
    kv._kv_click(button, event.offsetX, event.offsetY, canvas.clientWidth, canvas.clientHeight,
                 secondsSinceMidnight());
  }
  canvas.addEventListener('pointerdown', press);
  canvas.addEventListener('pointermove', (event) => {
    if (event.button >= 0) press(event);
  });
  // No menu, no middle-button scrolling and no pasting.
  for (const type of ['contextmenu', 'mousedown', 'auxclick']) {
    canvas.addEventListener(type, (event) => event.preventDefault());
  }

  window.addEventListener('keydown', (event) => {
    const code = kKeys[event.key];
    if (code === undefined || event.ctrlKey || event.altKey || event.metaKey) return;
    event.preventDefault();
    if (!started || ended) return;
    if (kv._kv_key(code) === 1) end();
  });

  document.addEventListener('visibilitychange', () => {
    if (document.hidden) stopTicking();
    else if (stopAfter === null) startTicking(kTickMs);
  });

  // For the page's tests: the battle's state, and a call after every tick.
  window.kelvarin = {
    state() {
      return started ? JSON.parse(kv.UTF8ToString(kv._kv_state())) : null;
    },
    onTick: null,
  };

  Kelvarin().then((module) => {
    kv = module;
    start();
  });

  // The service worker (worker.js) keeps the site for the next visits, with
  // or without a network. Opened from disk there is none, and over plain
  // HTTP from another host none is offered: the page works all the same.
  window.addEventListener('load', () => {
    if ('serviceWorker' in navigator) navigator.serviceWorker.register('worker.js').catch(() => {});
  });
})();
