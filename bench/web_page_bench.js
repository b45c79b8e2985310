#!/usr/bin/env node
// The browser page on a big pair (make_sdlxliff_pair.py, 50,000 segments by default) in Debian's
// headless Chromium against the native tool on the same pair, HTML and XLSX: wall time from the
// click to the outcome shown (the first run in a fresh page starts the engine's worker, the second
// reuses it) and peak resident memory of the renderer (the worker runs inside it), against the
// native tool's wall time and maximum resident set. Same options on both sides: identical
// segments shown, highlight on, short tags. Needs `npm ci` in tests/viewer.
// Usage: node bench/web_page_bench.js [LEXMORA_HTML] [LEXMORA_COMPARE] [SEGMENTS]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const {execFileSync, spawnSync} = require('child_process');
const browser = require('../tests/viewer/browser');

const ROOT = path.join(__dirname, '..');
const pageFile = path.resolve(process.argv[2] || path.join(ROOT, 'build-web', 'dist', 'lexmora.html'));
const binary = path.resolve(process.argv[3] || path.join(ROOT, 'build', 'cli', 'lexmora-compare'));
const segments = process.argv[4] || '50000';

// Every process below this one, read from /proc: pid -> command line.
function descendants() {
  const parent = new Map();
  for (const pid of fs.readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      parent.set(pid, stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
    } catch (e) {
      /* ended meanwhile */
    }
  }
  const mine = new Set([String(process.pid)]);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, ppid] of parent) {
      if (!mine.has(ppid) || mine.has(pid)) continue;
      mine.add(pid);
      grown = true;
    }
  }
  mine.delete(String(process.pid));
  return [...mine];
}

// The highest peak resident set of Chromium's renderer processes, in MiB.
function rendererPeakMiB() {
  let peak = 0;
  for (const pid of descendants()) {
    try {
      if (!fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=renderer')) continue;
      const hwm = /VmHWM:\s+(\d+) kB/.exec(fs.readFileSync(`/proc/${pid}/status`, 'utf8'));
      if (hwm) peak = Math.max(peak, +hwm[1] / 1024);
    } catch (e) {
      /* ended meanwhile */
    }
  }
  return peak;
}

// One click on compare; the time until the outcome is shown, in seconds, measured in the page.
const timedCompare = (page) => page.evaluate(() => new Promise((resolve) => {
  const t0 = performance.now();
  new MutationObserver((records, observer) => {
    if (document.body.dataset.state !== 'done') return;
    observer.disconnect();
    resolve((performance.now() - t0) / 1000);
  }).observe(document.body, {attributes: true, attributeFilter: ['data-state']});
  document.getElementById('compare').click();
}));

async function pageRuns(work, before, after, format) {
  const context = await browser.launch(work, true);
  try {
    const page = await context.newPage();
    await page.goto('file://' + pageFile);
    await page.waitForFunction(() => document.body.dataset.state === 'ready');
    await page.setInputFiles('#source-files', before);
    await page.setInputFiles('#edited-files', after);
    await page.setChecked('#highlight', true);
    await page.setChecked('#show-tags', true);
    await page.selectOption('#format', format);
    page.setDefaultTimeout(0);
    const cold = await timedCompare(page);
    const links = await page.locator('#reports a[download]').count();
    if (links !== 1) throw new Error(`${format}: ${links} reports; outcome ${await page.locator('#outcome').innerText()}`);
    const warm = await timedCompare(page);
    return {cold, warm, peak: rendererPeakMiB()};
  } finally {
    await context.close();
  }
}

function nativeRun(work, before, after, format) {
  const out = path.join(work, 'out-' + format);
  const proc = spawnSync('/usr/bin/time', ['-v', binary, '-s', before, '-e', after, '-o', out, '-f', format,
                                           '--show-identical', '--tags', 'short', '-q'], {encoding: 'utf8'});
  if (proc.status !== 0) throw new Error(`native ${format}: ${proc.stderr}`);
  const wall = /Elapsed \(wall clock\) time.*: (?:(\d+):)?(\d+):([\d.]+)/.exec(proc.stderr);
  const rss = /Maximum resident set size \(kbytes\): (\d+)/.exec(proc.stderr);
  return {wall: (+(wall[1] || 0)) * 3600 + +wall[2] * 60 + +wall[3], peak: +rss[1] / 1024};
}

async function main() {
  const missing = browser.missing();
  if (missing) throw new Error(missing);
  for (const f of [pageFile, binary]) if (!fs.existsSync(f)) throw new Error(`${f} is missing: build it first`);
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'lexmora-page-bench-'));
  try {
    const [before, after] = execFileSync('python3', [path.join(__dirname, 'make_sdlxliff_pair.py'), work, segments])
                                .toString().trim().split('\n');
    const mib = (f) => (fs.statSync(f).size / 1048576).toFixed(1);
    console.log(`${segments} segments (${mib(before)} + ${mib(after)} MiB), ${os.cpus().length} cores, ` +
                `load ${os.loadavg().map((l) => l.toFixed(2)).join(' ')}`);
    console.log('format  page first run  page second run  renderer peak  native wall  native max RSS');
    for (const format of ['html', 'xlsx']) {
      const p = await pageRuns(work, before, after, format);
      const n = nativeRun(work, before, after, format);
      console.log(`${format.padEnd(6)}  ${p.cold.toFixed(1).padStart(12)} s  ${p.warm.toFixed(1).padStart(13)} s  ` +
                  `${p.peak.toFixed(0).padStart(9)} MiB  ${n.wall.toFixed(1).padStart(9)} s  ${n.peak.toFixed(0).padStart(10)} MiB`);
    }
    console.log(`load after: ${os.loadavg().map((l) => l.toFixed(2)).join(' ')}`);
  } finally {
    fs.rmSync(work, {recursive: true, force: true});
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
