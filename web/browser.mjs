// browser.mjs - drives the show's page (build-web/vexa.html) in Debian's
// headless Chromium through puppeteer-core, for the page's tests
// (tests/page_test.mjs) and its benchmark (bench/page_bench.mjs).
//
//   const browser = await launch();
//   const show = await open_page(browser, page_path, '?t=500&paused&seed=1', 1024, 768);
//   await show.first_frame();               // the first show frame is drawn
//   const picture = await show.picture();   // {width, height, data: RGBA}
//
// Chromium renders WebGL with SwiftShader (no GPU, no display needed).
import puppeteer from 'puppeteer-core';
import { PNG } from 'pngjs';
import { pathToFileURL } from 'node:url';

export const chromium_args = [
  '--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  '--force-device-scale-factor=1', '--hide-scrollbars', '--mute-audio',
];

export function launch(extra_args = []) {
  return puppeteer.launch({
    executablePath: process.env.VEXA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: chromium_args.concat(extra_args),
  });
}

// How long a wait for the page may take: a first frame comes in under two
// seconds on an idle machine, but the shared machines the tests run on have
// been seen to take 30 s under load.
export const wait_ms = 60000;

// The page's state as web_state reports it.
export const state = { settling: 0, playing: 1, ended: 2 };

// The window is made wider by the studio beside the player, so that the
// player (and the canvas, at 4:3) is width x height. before(page), when
// given, runs before the page is opened (a script for every new document,
// say); touch gives the page a touch screen; downloads, a directory, lets
// the page download into it. Each page has a browser context of its own, so
// the shows one keeps (IndexedDB) are not another's; context, when given, is
// one to share (a page opened again in it finds what the first one kept).
export async function open_page(browser, page_path, query, width, height,
                                { before, touch, downloads, context } = {}) {
  const own_context = !context;
  context ||= await browser.createBrowserContext();
  const page = await context.newPage();
  page.setDefaultTimeout(wait_ms);  // navigation too: the page is 10 MB
  await page.bringToFront();  // a page in the background gets its timers and frames throttled
  const viewport = async (w, h) => {
    const studio = await page.evaluate(() => document.getElementById('studio')?.offsetWidth ?? 0);
    await page.setViewport({ width: w + studio, height: h, deviceScaleFactor: 1, hasTouch: !!touch });
  };
  await page.setViewport({ width, height, deviceScaleFactor: 1, hasTouch: !!touch });
  if (before)
    await before(page);
  if (downloads)
    await (await page.createCDPSession()).send('Browser.setDownloadBehavior',
                                                { behavior: 'allow', downloadPath: downloads,
                                                  browserContextId: context.id });
  const console_lines = [];
  const errors = [];
  page.on('console', (m) => console_lines.push(m.text()));
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(pathToFileURL(page_path).href + query);
  await viewport(width, height);
  const call = (name, ...args) =>
    page.evaluate((n, a) => Module['_' + n](...a), name, args);
  const show = {
    page, context, console_lines, errors, call,
    frames: () => call('web_frames'),
    state: () => call('web_state'),
    paused: async () => (await call('web_paused')) !== 0,
    text: () => page.evaluate(() => document.body.innerText),
    // Waits until the page has drawn more than `count` show frames; says
    // where the page stands when it does not.
    async frames_past(count) {
      try {
        await page.waitForFunction((c) => typeof Module !== 'undefined' && Module.calledRun &&
                                          Module._web_frames() > c, { timeout: wait_ms }, count);
      } catch (e) {
        const where = await page.evaluate(() => JSON.stringify({
          started: typeof Module !== 'undefined' && !!Module.calledRun,
          state: globalThis.Module?._web_state?.(), frames: globalThis.Module?._web_frames?.(),
          visibility: document.visibilityState, notice: document.getElementById('notice')?.textContent,
        })).catch((f) => f.message);
        throw new Error(`${e.message}: no frame past ${count}; ${where}; errors ${JSON.stringify(errors)}; ` +
                        `console ${JSON.stringify(console_lines.slice(-5))}`);
      }
    },
    async first_frame() {
      await this.frames_past(0);
      await page.waitForFunction(() => document.getElementById('loading').hidden, { timeout: wait_ms });
    },
    resize: viewport,
    async until_state(s) {
      await page.waitForFunction((v) => Module._web_state() === v, { timeout: wait_ms }, s);
    },
    // The canvas as shown, cut from a screenshot of the window (a clipped
    // screenshot resizes the page, which redraws it), without the player's
    // controls on it.
    async picture() {
      const r = await page.evaluate(() => {
        document.body.classList.add('bare');
        const b = Module.canvas.getBoundingClientRect();
        return [b.x, b.y, b.width, b.height].map(Math.round);
      });
      const window_picture = PNG.sync.read(Buffer.from(await page.screenshot({ type: 'png' })));
      await page.evaluate(() => document.body.classList.remove('bare'));
      const picture = new PNG({ width: r[2], height: r[3] });
      PNG.bitblt(window_picture, picture, r[0], r[1], r[2], r[3], 0, 0);
      return picture;
    },
    close: () => (own_context ? context.close() : page.close()),
  };
  return show;
}
