// music_page_test.mjs - the page's music in headless Chromium: its loudness
// meter against ffmpeg's ebur128, a downloaded video's music at
// vexa-capture's loudness, a file that is not sound refused, the sound's
// format with AudioEncoder's AAC stubbed both ways, the preview's sound
// following show time.
//
//   VEXA_PAGE=build-web/vexa.html VEXA_CAPTURE=build/vexa-capture VEXA_BUILD=build \
//     node --test tests/music_page_test.mjs
import { launch, open_page, wait_ms } from '../web/browser.mjs';
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const page_path = process.env.VEXA_PAGE;
const capture = process.env.VEXA_CAPTURE;
const build = process.env.VEXA_BUILD;
const width = 640, height = 480;

let browser, work;
const tones = {};
before(async () => {
  assert.ok(page_path && capture && build, 'VEXA_PAGE, VEXA_CAPTURE and VEXA_BUILD must be set');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'vexa-music-page-'));
  // Sound starts on the preview's own clock, without a gesture.
  browser = await launch(['--autoplay-policy=no-user-gesture-required']);
  const make = (name, expr, seconds) => {
    tones[name] = path.join(work, name);
    execFileSync('ffmpeg', ['-v', 'error', '-f', 'lavfi', '-i', `aevalsrc=exprs=${expr}:s=44100:d=${seconds}`,
                            '-c:a', 'pcm_s16le', tones[name]]);
  };
  make('short.wav', '0.05*sin(2*PI*440*t)|0.05*sin(2*PI*660*t)', 5);  // quiet: the gain lifts it
  make('long.wav', '0.3*sin(2*PI*220*t)', 20);
  fs.writeFileSync(tones['song.mp3'] = path.join(work, 'song.mp3'), 'this is text, not sound\n'.repeat(50));
});
after(async () => {
  await browser?.close();
  if (work)
    fs.rmSync(work, { recursive: true, force: true });
});

// Integrated loudness as ffmpeg's ebur128 reads it (of a file's sound).
function ebur128(file) {
  const out = spawnSync('ffmpeg', ['-nostats', '-i', file, '-map', '0:a', '-af', 'ebur128', '-f', 'null', '-'],
                        { encoding: 'utf8' }).stderr;
  const found = out.match(/Integrated loudness:\s*I:\s*(-?[0-9.]+) LUFS/);
  assert.ok(found, `no loudness read from ${file}: ${out.slice(-300)}`);
  return Number(found[1]);
}

test('the page\'s loudness meter reads what ffmpeg\'s ebur128 reads, within 0.5 LU', () => {
  const meter = require('../src/web/loudness.js');
  const cases = [
    ['a low tone and a high one', '0.3*sin(2*PI*100*t)+0.1*sin(2*PI*5000*t)|0.2*sin(2*PI*1000*t)'],
    ['loud, then quiet: the relative gate', '(0.5-0.49*gte(t\\,3))*sin(2*PI*440*t)|(0.5-0.49*gte(t\\,3))*sin(2*PI*440*t)'],
    ['gaps of silence: the absolute gate', '0.2*sin(2*PI*60*t)*lt(mod(t\\,2)\\,1)|0.2*sin(2*PI*8000*t)*lt(mod(t\\,2)\\,1)'],
  ];
  for (const [what, expr] of cases) {
    const wav = path.join(work, 'meter.wav');
    execFileSync('ffmpeg', ['-v', 'error', '-y', '-f', 'lavfi', '-i', `aevalsrc=exprs=${expr}:s=48000:d=12`,
                            '-c:a', 'pcm_f32le', wav]);
    const raw = execFileSync('ffmpeg', ['-v', 'error', '-i', wav, '-f', 'f32le', '-'], { maxBuffer: 1 << 26 });
    const all = new Float32Array(raw.buffer, raw.byteOffset, raw.length / 4), n = all.length / 2;
    const channels = [new Float32Array(n), new Float32Array(n)];
    for (let i = 0; i < n; ++i)
      [channels[0][i], channels[1][i]] = [all[2 * i], all[2 * i + 1]];
    const page = meter.integrated(channels, 48000), native = ebur128(wav);
    assert.ok(Math.abs(page - native) <= 0.5, `${what}: the page reads ${page.toFixed(2)} LUFS, ffmpeg ${native}`);
  }
});

async function music_page({ before: stub, downloads } = {}) {
  const show = await open_page(browser, page_path, '?seed=1', width, height, { before: stub, downloads });
  await show.first_frame();
  await show.page.waitForFunction(() => !document.getElementById('studio-form').disabled, { timeout: wait_ms });
  return show;
}
async function pick(show, file) {
  await (await show.page.$('#music-file')).uploadFile(file);
  await show.page.waitForFunction((name) => document.getElementById('music-name').textContent === name ||
                                            document.getElementById('music-message').textContent !== '',
                                  { timeout: wait_ms }, path.basename(file));
}
const set = (show, id, v) => show.page.$eval(`#${id}`, (e, value) => {
  if (e.type === 'checkbox')
    e.checked = value;
  else
    e.value = value;
  e.dispatchEvent(new Event('change', { bubbles: true }));
}, v);

test('Download video: the music\'s track at vexa-capture\'s loudness, -16 LUFS, within 0.5 LU', async () => {
  const dir = fs.mkdtempSync(path.join(work, 'video-'));
  const show = await music_page({ downloads: dir });
  await pick(show, tones['short.wav']);  // 5 s, looped under the show
  await set(show, 'fade-out', '0');
  await set(show, 'span', 'closing');
  await show.page.click('#export');
  await show.page.waitForFunction(() => /^Downloaded|could not/.test(document.getElementById('export-status').textContent),
                                  { timeout: 600000 });
  const status = await show.page.$eval('#export-status', (e) => e.textContent);
  assert.match(status, /^Downloaded vexa\.webm/);  // no AAC in Debian's Chromium: WebM, the page's first offer
  const video = path.join(dir, 'vexa.webm');
  const streams = JSON.parse(execFileSync('ffprobe', ['-v', 'error', '-show_entries', 'stream=codec_type,codec_name',
                                                      '-of', 'json', video])).streams;
  assert.deepEqual(streams.map((s) => s.codec_name), ['vp9', 'opus']);
  assert.deepEqual(show.errors, []);
  await show.close();

  const own = path.join(work, 'own.mp4');
  execFileSync(capture, ['--seed', '1', '--music', tones['short.wav'], '--fade-out', '0', '--from', '9000', '--to',
                         '16000', '--size', `${width}x${height}`, '-o', own], { cwd: build });
  const page = ebur128(video), native = ebur128(own);
  assert.ok(Math.abs(page - native) <= 0.5, `the page's music at ${page} LUFS, vexa-capture's at ${native}`);
  assert.ok(Math.abs(page + 16) <= 0.5, `the page's music at ${page} LUFS, not -16`);
});

test('a file that is not sound is refused beside the control; the music before it stays; "as long as the music"', async () => {
  const show = await music_page();
  const { page } = show;
  // The document the show is made from: a closing "as long as the music" given its length.
  await page.evaluate(() => {
    const own = Module.art_make_show;
    Module.art_make_show = (json, ...rest) => own((window.made_from = json), ...rest);
  });
  await pick(show, tones['long.wav']);
  await set(show, 'closing-music', true);
  const closing = () => page.evaluate(() => window.made_from && JSON.parse(window.made_from).timing?.closing_ms);
  await page.waitForFunction(() => window.made_from && JSON.parse(window.made_from).timing?.closing_ms === 11000,
                             { timeout: wait_ms }).catch(async () => assert.fail(`the closing made: ${await closing()}`));
  await pick(show, tones['song.mp3']);
  const after = await page.evaluate(() => ({
    message: document.getElementById('music-message').textContent,
    name: document.getElementById('music-name').textContent,
    music: vexa_studio.document().sound.music, length: vexa_music.length_ms(0),
  }));
  assert.match(after.message, /^song\.mp3: not a sound file this browser can play .*the music before it stays$/);
  assert.deepEqual([after.name, after.music, after.length], ['long.wav', 'music.wav', 20000]);
  assert.equal(await closing(), 11000, 'the 20 s music less the 9 s leader, after the refusal');
  await show.close();
});

test('the sound\'s format: AAC in MP4 where the browser encodes it, else said plainly, WebM or MP4 with Opus', async () => {
  for (const aac of [true, false]) {
    const show = await music_page({
      before: (page) => page.evaluateOnNewDocument((yes) => {
        const own = AudioEncoder.isConfigSupported.bind(AudioEncoder);
        AudioEncoder.isConfigSupported = (c) => (/^mp4a/.test(c.codec) ? Promise.resolve({ supported: yes, config: c })
                                                                         : own(c));
      }, aac),
    });
    const { page } = show;
    await set(show, 'pop', true);
    await page.evaluate(() => vexa_export.aac());
    await page.waitForFunction((want) => !document.getElementById('sound-format').hidden === want, {}, !aac)
      .catch(() => {});  // said below
    const seen = await page.evaluate(async () => ({
      plain: await vexa_export.sound_choice(), webm: await vexa_export.sound_choice('webm'),
      mp4: await vexa_export.sound_choice('mp4'), note: !document.getElementById('sound-format').hidden,
    }));
    const chosen = ['plain', 'webm', 'mp4'].map((k) => `${seen[k].format}/${seen[k].codec}`);
    assert.deepEqual(chosen, aac ? ['mp4/aac', 'webm/opus', 'mp4/aac'] : ['mp4/opus', 'webm/opus', 'mp4/opus'],
                     `AAC ${aac}`);
    assert.equal(seen.note, !aac, `AAC ${aac}: the note on the sound's format`);
    if (!aac)
      assert.match(await show.text(), /cannot write AAC sound[\s\S]*MP4 with Opus sound \(some players and editors cannot play its sound\)/);
    await show.close();
  }
});

test('the preview\'s music follows show time: playing, paused, after a seek, at the end', async () => {
  const show = await music_page();
  const { page } = show;
  await pick(show, tones['long.wav']);
  // Where the sound is against show time, read together.
  const apart = () => page.evaluate(() => {
    const at = vexa_music.position();
    return at === null ? null : at - Module._web_time();
  });
  const settle = () => new Promise((resolve) => setTimeout(resolve, 600));
  const playing = async (what) => {
    await page.waitForFunction(() => vexa_music.position() !== null, { timeout: wait_ms });
    await settle();
    const d = await apart();
    assert.ok(d !== null && Math.abs(d) <= 250, `${what}: the sound is ${d} ms from show time`);
  };
  if (await show.paused())
    await show.call('web_tap');
  await playing('playing');
  await show.call('web_tap');  // pause
  await settle();
  assert.equal(await apart(), null, 'paused: the sound stops');
  await show.call('web_seek', 12000);
  await show.call('web_tap');  // play from 12 s
  await playing('after a seek to 12 s');
  assert.ok(await page.evaluate(() => Module._web_time()) >= 12000);
  await show.until_state(2);
  await settle();
  assert.equal(await apart(), null, 'ended: the sound stops');
  await show.close();
});
