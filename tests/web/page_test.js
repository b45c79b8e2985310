#!/usr/bin/env node
// The browser page end to end, opened from disk in Debian's headless Chromium: files set on its
// inputs, options on its controls, the reports taken from its links and compared byte for byte
// with the native tool's made from the same files laid out as <run>/source and <run>/edited (the
// page's engine keeps them as /source and /edited). Also: nothing requested beyond the page
// itself, no console error, a malformed file's error line, stop, the keyboard and 320 px width.
// Usage: node page_test.js LEXMORA_HTML LEXMORA_COMPARE EXAMPLES_DIR CORPUS_DIR [--screenshot PNG]
// Exit status: 0 passed, 1 failed, 77 skipped (no Chromium or no node_modules).
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const {execFileSync, spawnSync} = require('child_process');
const browser = require('../viewer/browser');

const SKIP = 77;
const [pageFile, binary, examples, corpus] = process.argv.slice(2, 6).map((p) => p && path.resolve(p));
const shotAt = process.argv.indexOf('--screenshot');
const screenshot = shotAt > 0 ? path.resolve(process.argv[shotAt + 1]) : null;
const ROOT = path.join(__dirname, '..', '..');
const pageUrl = 'file://' + pageFile;

const failures = [];
let checks = 0;
function check(ok, what) {
  ++checks;
  if (!ok) failures.push(what);
  return ok;
}

// The message texts as the engine's table holds them: {id: [english, russian]}.
function messageTable() {
  const table = {};
  const entry = /^\s*\{(\d+),\s*("(?:[^"\\]|\\.)*"),\s*("(?:[^"\\]|\\.)*")\}/gm;
  const text = fs.readFileSync(path.join(ROOT, 'core', 'MessageTable.inc'), 'utf8');
  for (let m; (m = entry.exec(text));) table[m[1]] = [JSON.parse(m[2]), JSON.parse(m[3])];
  return table;
}

// Options as the page's controls take them; `tags` none leaves tag display off.
const option = (format, tags, lang, flags = '') => ({
  format, tags, lang, hideIdentical: !flags.includes('show'), ignoreNbsp: flags.includes('nbsp'),
  highlight: !flags.includes('plain'),
});

function nativeArgs(o) {
  return ['-f', o.format, '--tags', o.tags, '--lang', o.lang, ...(o.hideIdentical ? [] : ['--show-identical']),
          ...(o.ignoreNbsp ? ['--ignore-nbsp'] : []), ...(o.highlight ? [] : ['--no-highlight'])];
}

// The jobs: each pair of file lists with the options it runs under.
function jobs(broken) {
  const ex = (side) => {
    const files = fs.readdirSync(path.join(examples, side)).map((n) => path.join(examples, side, n));
    for (const group of ['sdl-package', 'memoq', 'memsource'])
      for (const n of fs.readdirSync(path.join(examples, group, side))) files.push(path.join(examples, group, side, n));
    return files;
  };
  const c = (rel) => path.join(corpus, rel);
  const t5 = (name) => c('sdlxliff/translate5-' + name + '.sdlxliff');
  const studio = 'sdl-packages/Supervertaler_DOCX_Advanced_Test_Document (Studio project folder)/';
  const doc = 'Supervertaler_DOCX_Advanced_Test_Document.docx.sdlxliff';
  const same = [c(studio + 'en-US/' + doc), c(studio + 'nl-NL/' + doc)];
  return [
    ['examples', ex('before'), ex('after'),
     [option('html', 'short', 'en'), option('xlsx', 'full', 'ru', 'show nbsp'), option('html', 'id', 'ru', 'nbsp'),
      option('xlsx', 'none', 'en', 'show nbsp plain'), option('html', 'full', 'en', 'show plain')]],
    ['pair A', [t5('BasicSegmentEditingTest_install-unix.apache2.html')], [t5('BasicSegmentEditingTest_export-assert')],
     [option('html', 'full', 'ru', 'show'), option('xlsx', 'short', 'en')]],
    ['pair B', [t5('SegmentCommentRoundtripTest_01-sdlxliff-en-de')], [t5('SegmentCommentRoundtripTest_export-assert')],
     [option('html', 'id', 'en', 'show plain'), option('xlsx', 'id', 'ru', 'show')]],
    ['pair C', [t5('Translate1804Test_02-sdlxliff-en-de')], [t5('Translate1804Test_export-02-sdlxliff-en-de')],
     [option('xlsx', 'full', 'en', 'show nbsp')]],
    ['pair D', [t5('Translate682Test_testsamples')], [t5('Translate682Test_expectedResult')],
     [option('html', 'short', 'ru', 'show'), option('xlsx', 'none', 'ru', 'show plain')]],
    ['pair E', [t5('Translate3966Test_FileForTest_fr-FR_en-GB')], [t5('Translate3966Test_expectedResult')],
     [option('html', 'full', 'en', 'show nbsp')]],
    ['pair F', [c('mqxliff/translate5-SegmentCommentRoundtripTest_02-memoq-de-en.mqxliff')],
     [c('mqxliff/translate5-SegmentCommentRoundtripTest_export-assert.mqxliff')],
     [option('xlsx', 'short', 'en', 'show'), option('html', 'none', 'en', 'show')]],
    ['project package', [c('sdl-packages/ts2017-test01.sdlppx')], [c('sdl-packages/ts2017-test01.sdlppx')],
     [option('html', 'short', 'en', 'show'), option('xlsx', 'full', 'ru', 'show')]],
    ['zipped memoQ and Phrase', [c('mqxlz/git.html_jpn.mqxlz'), c('mxliff/contentful.mxliff')],
     [c('mqxlz/git.html_jpn.mqxlz'), c('mxliff/contentful.mxliff')], [option('xlsx', 'short', 'en', 'show')]],
    // The first of these has no segments: its error line names it by its numbered folder.
    ['one name twice in a list', same, same.slice().reverse(), [option('html', 'id', 'en', 'show')]],
    ['malformed file', [path.join(examples, 'before', 'CM-200_Manual.docx_de-DE.sdlxliff'), broken],
     [path.join(examples, 'after', 'CM-200_Manual.docx_de-DE.sdlxliff'), broken], [option('html', 'short', 'en')]],
  ];
}

// The inputs of a run laid out as the page's engine lays them out: a second file of a name in one
// list goes into a numbered folder.
function layOut(dir, side, files) {
  const paths = [];
  for (const file of files) {
    const name = path.basename(file);
    let folder = path.join(dir, side);
    for (let n = 2; fs.existsSync(path.join(folder, name)); ++n) folder = path.join(dir, side, String(n));
    fs.mkdirSync(folder, {recursive: true});
    fs.copyFileSync(file, path.join(folder, name));
    paths.push(path.join(folder, name));
  }
  return paths;
}

// The native tool on the laid-out inputs: the lines of what went wrong (quiet, it prints only
// those), with the run's folder taken out, sorted.
function runNative(dir, sources, edited, o) {
  const args = [...sources.flatMap((s) => ['-s', s]), ...edited.flatMap((e) => ['-e', e]), '-o', path.join(dir, 'out'),
                '-q', ...nativeArgs(o)];
  const proc = spawnSync(binary, args, {env: {...process.env, TMPDIR: '/tmp'}, encoding: 'utf8'});
  check(proc.status !== null && proc.status < 5, `native run in ${dir} crashed: ${proc.stderr}`);
  return proc.stderr.split('\n').filter((l) => l).map((l) => l.split(dir).join('')).sort();
}

class PageDriver {
  constructor(page) {
    this.page = page;
  }

  async setFiles(side, files) {
    const clear = this.page.locator(`.clear[data-side="${side}"]`);
    if (await clear.isEnabled()) await clear.click();
    await this.page.setInputFiles(`#${side}-files`, files);
  }

  async setOptions(o) {
    const p = this.page;
    await p.setChecked('#hide-identical', o.hideIdentical);
    await p.setChecked('#ignore-nbsp', o.ignoreNbsp);
    await p.setChecked('#highlight', o.highlight);
    await p.setChecked('#show-tags', o.tags !== 'none');
    if (o.tags !== 'none') await p.selectOption('#tags-format', o.tags);
    await p.selectOption('#format', o.format);
    await p.selectOption('#lang', o.lang);
  }

  // Starts a comparison with TRIGGER and waits for its outcome; the states the page went through.
  async compare(trigger, whileRunning) {
    const p = this.page;
    await p.evaluate(() => {
      if (window.stateWatch) window.stateWatch.disconnect();
      window.seenStates = [];
      window.stateWatch = new MutationObserver(() => window.seenStates.push(document.body.dataset.state));
      window.stateWatch.observe(document.body, {attributes: true, attributeFilter: ['data-state']});
    });
    await (trigger || (() => p.click('#compare')))();
    if (whileRunning) await whileRunning();
    await p.waitForFunction(() => window.seenStates.includes('done'), null, {timeout: 600000, polling: 100});
    return p.evaluate(() => window.seenStates);
  }

  // Each report as its link offers it, saved into DIR under the link's name.
  async saveReports(dir) {
    fs.mkdirSync(dir, {recursive: true});
    const names = [];
    for (const link of await this.page.locator('#reports a[download]').all()) {
      const name = await link.getAttribute('download');
      check(/^blob:/.test(await link.getAttribute('href')), `${name}: its link is not a blob`);
      const [download] = await Promise.all([this.page.waitForEvent('download'), link.click()]);
      check(download.suggestedFilename() === name, `${name}: saved as ${download.suggestedFilename()}`);
      await download.saveAs(path.join(dir, name));
      names.push(name);
    }
    return names;
  }

  lines(id) {
    return this.page.locator(`#${id} li`).allTextContents();
  }
}

// The first run, pressed from the keyboard; then the page with its outcome checked at 320 px and
// photographed.
async function keyboardAndWidth(driver) {
  const p = driver.page;
  const states = await driver.compare(async () => {
    await p.evaluate(() => document.activeElement && document.activeElement.blur());
    for (let n = 0; n < 60 && (await p.evaluate(() => document.activeElement.id)) !== 'compare'; ++n)
      await p.keyboard.press('Tab');
    check(await p.evaluate(() => document.activeElement.id === 'compare'), 'compare cannot be reached with Tab');
    await p.keyboard.press('Enter');
  });
  check(states[0] === 'running', `pressed from the keyboard, the page went through ${states}`);
  await p.setViewportSize({width: 320, height: 800});
  const width = await p.evaluate(() => document.scrollingElement.scrollWidth);
  check(width <= 320, `at 320 px wide the page is ${width} px wide`);
  await p.setViewportSize({width: 1100, height: 800});
  if (!screenshot) return;
  await p.evaluate(() => {
    document.activeElement.blur();
    document.getElementById('source-side').scrollIntoView();
  });
  await p.screenshot({path: screenshot});
}

// Stop during a big comparison: the stopped lines in the page's language, no report.
async function stopCheck(driver, work, messages) {
  const [before, after] = execFileSync('python3', [path.join(ROOT, 'bench', 'make_sdlxliff_pair.py'),
                                                   path.join(work, 'big'), '20000']).toString().trim().split('\n');
  await driver.setFiles('source', [before]);
  await driver.setFiles('edited', [after]);
  await driver.setOptions(option('xlsx', 'short', 'ru', 'show'));
  const p = driver.page;
  const states = await driver.compare(null, async () => {
    // Stopped once the engine reports progress: the worker is at work, not starting up.
    await p.waitForFunction(() => document.getElementById('log').textContent.split('\n').length > 2);
    check(await p.evaluate(() => document.body.dataset.state === 'running'), 'the big comparison ended before stop');
    await p.click('#stop');
  });
  check(states.join() === 'running,done', `stopping went through ${states}`);
  const want = [messages[43][1], messages[39][1]];
  const got = (await driver.lines('outcome')).filter((line) => line);
  check(JSON.stringify(got) === JSON.stringify(want), `after stop: ${JSON.stringify(got)}`);
  check((await p.locator('#reports a').count()) === 0, 'a stopped comparison offers a report');
}

// Every request the page and its workers make goes into REQUESTS, every error a worker logs (a
// blocked request, an exception) into PROBLEMS; WORKERS counts the workers watched. The engine's
// worker is reached through the page's DevTools session; it waits at its start until its own
// requests are watched too.
async function watch(cdp, requests, problems, workers) {
  await cdp.send('Network.enable');
  cdp.on('Network.requestWillBeSent', (e) => requests.push(e.request.url));
  const toWorker = (sessionId, id, method) =>
    cdp.send('Target.sendMessageToTarget', {sessionId, message: JSON.stringify({id, method})}).catch(() => {});
  cdp.on('Target.attachedToTarget', async (e) => {
    ++workers.count;
    for (const [id, method] of [[1, 'Network.enable'], [2, 'Log.enable'], [3, 'Runtime.enable']])
      await toWorker(e.sessionId, id, method);
    await toWorker(e.sessionId, 4, 'Runtime.runIfWaitingForDebugger');
  });
  cdp.on('Target.receivedMessageFromTarget', (e) => {
    const m = JSON.parse(e.message);
    if (m.method === 'Network.requestWillBeSent') requests.push(m.params.request.url);
    else if (m.method === 'Log.entryAdded' && m.params.entry.level === 'error') problems.push(m.params.entry.text);
    else if (m.method === 'Runtime.exceptionThrown') problems.push(m.params.exceptionDetails.text);
    else if (m.method === 'Runtime.consoleAPICalled' && m.params.type === 'error')
      problems.push(m.params.args.map((a) => a.value).join(' '));
  });
  await cdp.send('Target.setAutoAttach', {autoAttach: true, waitForDebuggerOnStart: true, flatten: false});
}

async function main() {
  const missing = browser.missing();
  if (missing) {
    console.log(`SKIP: ${missing}`);
    return SKIP;
  }
  for (const [file, what] of [[pageFile, 'the page (build lexmora_page)'], [binary, 'lexmora-compare']])
    if (!file || !fs.existsSync(file)) throw new Error(`${what} is missing: ${file}`);
  const messages = messageTable();
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'lexmora-page-test-'));
  const broken = path.join(work, 'broken.sdlxliff');
  fs.writeFileSync(broken, '<?xml version="1.0"?><xliff version="1.2"><file source-language="en"><body><trans-unit');
  const context = await browser.launch(work, true);
  try {
    const requests = [];
    const problems = [];
    context.on('request', (r) => requests.push(r.url()));
    const page = await context.newPage();
    page.on('console', (m) => m.type() === 'error' && problems.push(m.text()));
    page.on('pageerror', (e) => problems.push(String(e)));
    const workers = {count: 0};
    await watch(await context.newCDPSession(page), requests, problems, workers);
    await page.setViewportSize({width: 1100, height: 800});
    await page.goto(pageUrl);
    await page.waitForFunction(() => document.body.dataset.state === 'ready');
    const driver = new PageDriver(page);

    let run = 0;
    for (const [name, sources, edited, options] of jobs(broken)) {
      for (const o of options) {
        const dir = path.join(work, 'runs', String(++run));
        const nativeErrors = runNative(dir, layOut(dir, 'source', sources), layOut(dir, 'edited', edited), o);
        await driver.setFiles('source', sources);
        await driver.setFiles('edited', edited);
        await driver.setOptions(o);
        if (run === 1) await keyboardAndWidth(driver);
        else check((await driver.compare())[0] === 'running', `${name}: no running state`);
        const saved = await driver.saveReports(path.join(dir, 'page'));
        fs.writeFileSync(path.join(dir, 'job'), `${name} ${JSON.stringify(o)}\n`);
        for (const n of saved) check(/^Result_\d{8}_\d{6}_/.test(n), `${name}: report named ${n}`);
        const errors = await driver.lines('errors');
        const failed = (await page.locator('#outcome li.failure').allTextContents()).concat(errors).sort();
        check(JSON.stringify(failed) === JSON.stringify(nativeErrors),
              `${name}: failure and error lines ${JSON.stringify(failed)}, the native tool's ${JSON.stringify(nativeErrors)}`);
        if (name === 'malformed file')
          check(errors.some((e) => e.includes('/source/broken.sdlxliff')), `${name}: no error line names the file`);
        else
          check(saved.length > 0, `${name}: no report`);
      }
      if (name === 'pair A') await stopCheck(driver, work, messages);
    }
    const same = spawnSync('python3', [path.join(__dirname, 'same_reports.py'), path.join(work, 'runs')],
                           {stdio: 'inherit'});
    check(same.status === 0, 'the page\'s reports differ from the native tool\'s');

    const foreign = requests.filter((u) => u !== pageUrl && !/^(blob|data):/.test(u));
    check(foreign.length === 0, `requests beyond the page: ${[...new Set(foreign)].join(' ')}`);
    check(requests.includes(pageUrl), 'the page\'s own load was not seen: the request log is blind');
    check(workers.count >= 2, `${workers.count} engine workers watched, two at least (one before stop, one after)`);
    check(problems.length === 0, `console errors: ${problems.map((t) => t.slice(0, 300)).join(' | ')}`);
  } finally {
    await context.close();
    if (!failures.length) fs.rmSync(work, {recursive: true, force: true});
  }
  for (const f of failures) console.log('FAIL:', f);
  console.log(`${checks} checks, ${failures.length} failed${failures.length ? ` (files kept in ${work})` : ''}`);
  return failures.length ? 1 : 0;
}

main().then((code) => process.exit(code), (e) => {
  console.error(e);
  process.exit(1);
});
