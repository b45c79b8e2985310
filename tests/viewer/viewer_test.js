#!/usr/bin/env node
// The HTML report's viewer in headless Chromium, on real reports of the examples and of a corpus
// pair. What each view must show is worked out from the JSON summary and from the report's own
// row markup, read here with plain expressions, never from the viewer's code.
// Usage: node viewer_test.js LEXMORA_COMPARE EXAMPLES_DIR CORPUS_DIR [--screenshot PNG]
// Exit status: 0 passed, 1 failed, 77 skipped (no Chromium or no node_modules).
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const {execFileSync} = require('child_process');
const browser = require('./browser');

const SKIP = 77;
const [binary, examples, corpus] = process.argv.slice(2, 5);
const shotAt = process.argv.indexOf('--screenshot');
const screenshot = shotAt > 0 ? process.argv[shotAt + 1] : null;
const CORPUS_PAIR = ['sdlxliff/translate5-BasicSegmentEditingTest_install-unix.apache2.html.sdlxliff',
                     'sdlxliff/translate5-BasicSegmentEditingTest_export-assert.sdlxliff'];

const failures = [];
let checks = 0;
function check(ok, what) {
  ++checks;
  if (!ok) failures.push(what);
}

// One report: the JSON summary of its pair and the report's file.
function makeReport(work, name, sources, edited, extra) {
  const out = path.join(work, name);
  const args = [];
  sources.forEach((s) => args.push('-s', s));
  edited.forEach((e) => args.push('-e', e));
  const json = JSON.parse(execFileSync(binary, [...args, '-o', out, '--temp-dir', work, '--json', '-q', ...extra]));
  const pair = json.pairs[0];
  return {name, pair, file: pair.report, html: fs.readFileSync(pair.report, 'utf8')};
}

// The segment rows as the report wrote them, read from its text.
function unescape(text) {
  return text.replace(/&(#x[0-9a-f]+|#\d+|amp|lt|gt|quot|apos);/gi, (all, e) => {
    if (e[0] === '#') return String.fromCodePoint(parseInt(e[1] === 'x' || e[1] === 'X' ? e.slice(2) : e.slice(1),
                                                            e[1] === 'x' || e[1] === 'X' ? 16 : 10));
    return {amp: '&', lt: '<', gt: '>', quot: '"', apos: "'"}[e.toLowerCase()];
  });
}
function plain(cell) {
  // Tag labels are not text of the segment; a browser reads CR LF as LF.
  return unescape(cell.replace(/<span class="tag[XYZ]">[^<]*<\/span>/g, '').replace(/<[^>]*>/g, ''))
      .replace(/\r\n?/g, '\n');
}
function writtenRows(html) {
  const table = html.slice(html.indexOf('class="t02"'), html.indexOf('<div class="analysis">'));
  const row = new RegExp('<tr class="(eq|ne)">\\r\\n<td class="ac">(.*?)</td>\\r\\n<td class="ac">(.*?)</td>\\r\\n' +
                         '<td( class="lbg")?>([\\s\\S]*?)</td>\\r\\n<td>([\\s\\S]*?)</td>\\r\\n<td>([\\s\\S]*?)</td>' +
                         '\\r\\n<td class="ac">(.*?)</td>\\r\\n</tr>', 'g');
  const rows = [];
  for (let m; (m = row.exec(table));)
    rows.push({no: +m[2], edited: m[1] === 'ne', match: m[3] !== '', locked: !!m[4],
               texts: [plain(m[5]), plain(m[6]), plain(m[7])], ed: m[8]});
  return rows;
}
function occurrences(text, needle) {
  let n = 0;
  for (let at = text.indexOf(needle); at >= 0; at = text.indexOf(needle, at + needle.length)) ++n;
  return n;
}

// What the page shows, read through the DOM as a reader would see it.
const shown = (page) => page.evaluate(() => {
  const table = [...document.querySelectorAll('table.t02')].find((t) => !t.closest('.analysis'));
  const segmentRow = (tr) => tr.cells.length === 6 && tr.cells[0].tagName === 'TD';
  return [...table.rows].filter((tr) => segmentRow(tr) && getComputedStyle(tr).display !== 'none')
      .map((tr) => ({no: +tr.cells[0].textContent, ed: tr.cells[5].textContent, cls: tr.className}));
});
const countShown = (page) => page.evaluate(() => parseInt(document.getElementById('lx-count').textContent, 10));
const settle = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
async function choose(page, id, value) {
  await page.selectOption('#' + id, value);
  await settle(page);
}
async function search(page, text) {
  await page.fill('#lx-search', text);
  await settle(page);
}
async function reset(page) {
  await page.click('#lx-reset');
  await settle(page);
}

async function checkViewer(context, report) {
  const N = report.name;
  const rows = writtenRows(report.html);
  check(rows.length === report.pair.total, `${N}: every segment has its row in the markup (${rows.length})`);
  const page = await context.newPage();
  await page.goto('file://' + report.file);
  await settle(page);

  check(await page.locator('#lx-toolbar').count() === 1, `${N}: the toolbar appears`);
  check((await shown(page)).length === rows.length && await countShown(page) === rows.length,
        `${N}: every row shows at first and the count says so`);

  await choose(page, 'lx-show', 'edited');
  let view = await shown(page);
  check(view.length === report.pair.edited && view.every((r) => r.cls === 'ne'),
        `${N}: edited only shows the ${report.pair.edited} edited rows (shows ${view.length})`);
  check(await countShown(page) === view.length, `${N}: the count follows the edited-only view`);
  await reset(page);

  // A band link of the analysis table: the band with the fewest segments that has any.
  const band = report.pair.bands.filter((b) => b.segments > 0).sort((a, b) => a.segments - b.segments)[0];
  await page.click(`div.analysis a.lx-link:text-is("${band.band}")`);
  await settle(page);
  view = await shown(page);
  check(view.length === band.segments, `${N}: band ${band.band} link shows ${band.segments} rows (${view.length})`);
  check(page.url().includes('band=' + encodeURIComponent(band.band)), `${N}: the band is in the address`);
  await reset(page);

  for (const d of report.pair.documents) {
    await choose(page, 'lx-doc', d.document);
    view = await shown(page);
    check(view.length === d.segments, `${N}: document filter ${d.document} shows ${d.segments} (${view.length})`);
  }
  await reset(page);

  const want = (pred) => rows.filter(pred).map((r) => r.no).join();
  await choose(page, 'lx-match', 'no');
  check((await shown(page)).map((r) => r.no).join() === want((r) => !r.match), `${N}: rows without match value`);
  await choose(page, 'lx-locked', 'yes');
  check((await shown(page)).map((r) => r.no).join() === want((r) => !r.match && r.locked),
        `${N}: locked rows without match value`);
  await reset(page);

  // Search: a word of an edited text, typed in capitals.
  const word = rows.find((r) => r.edited).texts[2].split(/[\s.,;:!?()]+/).find((w) => w.length >= 4);
  const needle = word.toLowerCase();
  await search(page, word.toUpperCase());
  view = await shown(page);
  check(view.map((r) => r.no).join() === want((r) => r.texts.some((t) => t.toLowerCase().includes(needle))),
        `${N}: search "${word}" shows the rows holding it`);
  check(await countShown(page) === view.length, `${N}: the count follows the search`);
  const marks = await page.$$eval('mark.lx-hit', (ms) => ms.map((m) => m.textContent));
  const expectedChars = rows.reduce((s, r) => s + r.texts.reduce((n, t) => n + occurrences(t.toLowerCase(), needle), 0),
                                    0) * needle.length;
  check(marks.every((m) => needle.includes(m.toLowerCase())) && marks.join('').length === expectedChars,
        `${N}: the hits of "${word}" are marked (${marks.join('').length} of ${expectedChars} characters)`);
  await choose(page, 'lx-col', 'source');
  check((await shown(page)).map((r) => r.no).join() === want((r) => r.texts[0].toLowerCase().includes(needle)),
        `${N}: search in the source text only`);

  // The view survives a reload through the address.
  await choose(page, 'lx-show', 'edited');
  await choose(page, 'lx-sort', 'ed');
  const before = (await shown(page)).map((r) => r.no).join();
  await page.reload();
  await settle(page);
  check((await shown(page)).map((r) => r.no).join() === before, `${N}: a reload shows the same rows in the same order`);
  check(await page.inputValue('#lx-search') === word.toUpperCase() && await page.inputValue('#lx-col') === 'source' &&
        await page.inputValue('#lx-show') === 'edited', `${N}: a reload restores the toolbar`);
  await reset(page);

  await choose(page, 'lx-sort', 'ed');
  const eds = (await shown(page)).map((r) => (r.ed === '' ? 100 : +r.ed));
  check(eds.length === rows.length && eds.every((e, i) => i === 0 || eds[i - 1] <= e),
        `${N}: sorted by edit distance, lowest first`);
  await reset(page);
  check((await shown(page)).map((r) => r.no).join() === want(() => true), `${N}: back in the written order`);

  // n and p walk the edited rows in the order shown.
  const editedNos = rows.filter((r) => r.edited).map((r) => r.no);
  const currentNo = () => page.evaluate(() => {
    const tr = document.querySelector('tr.lx-current');
    return tr ? +tr.cells[0].textContent : null;
  });
  await page.locator('body').click({position: {x: 1, y: 1}});
  await page.keyboard.press('n');
  check(await currentNo() === editedNos[0], `${N}: n goes to the first edited row`);
  if (editedNos.length > 1) {
    await page.keyboard.press('n');
    check(await currentNo() === editedNos[1], `${N}: n again goes to the next edited row`);
    await page.keyboard.press('p');
    check(await currentNo() === editedNos[0], `${N}: p goes back`);
  }
  await page.click('#lx-next');
  check(await currentNo() === editedNos[Math.min(1, editedNos.length - 1)], `${N}: the next button as n`);
  await page.close();
}

// With scripts off the page is the page without the viewer block: the same DOM and text.
async function checkWithoutScripts(context, report, work) {
  const N = report.name;
  const at = report.html.lastIndexOf('<style>\r\n#lx-toolbar');
  check(at > 0 && report.html.endsWith('</script>\r\n</body>\r\n</html>\r\n'), `${N}: the viewer block ends the body`);
  const cut = path.join(work, N + '-without-viewer.html');
  fs.writeFileSync(cut, report.html.slice(0, at) + '</body>\r\n</html>\r\n');
  const read = async (file) => {
    const page = await context.newPage();
    await page.goto('file://' + file);
    const seen = await page.evaluate(() => {
      const body = document.body.cloneNode(true);
      body.querySelectorAll(':scope > style, :scope > script').forEach((e) => e.remove());
      return {html: body.innerHTML.trim(), text: document.body.innerText, toolbar: !!document.getElementById('lx-toolbar')};
    });
    await page.close();
    return seen;
  };
  const withBlock = await read(report.file), without = await read(cut);
  check(!withBlock.toolbar, `${N}: no toolbar without scripts`);
  check(withBlock.text === without.text, `${N}: the page text is unchanged without scripts`);
  check(withBlock.html === without.html, `${N}: the page's elements are unchanged without scripts`);
}

async function checkLanguages(context, english, russian) {
  const texts = async (report) => {
    const page = await context.newPage();
    await page.goto('file://' + report.file);
    // Every text of the toolbar but the band and document names the page gave it.
    const t = await page.$$eval('#lx-toolbar :is(option:first-child, #lx-show option, #lx-match option, ' +
                                '#lx-locked option, #lx-col option, #lx-sort option, button, .lx-count-label)',
                                (es) => es.map((e) => e.textContent));
    t.push(await page.getAttribute('#lx-search', 'placeholder'));
    await page.close();
    return t;
  };
  const en = await texts(english), ru = await texts(russian);
  check(en.length === 21 && ru.length === en.length && en.every((t, i) => t !== '' && ru[i] !== '' && ru[i] !== t),
        'the toolbar speaks the report language');
}

// A view longer than a few screens is laid out as the reader goes: scrolling reaches every row,
// and p from the top reaches the last edited row even before it was laid out.
async function checkLongView(context, report) {
  const N = report.name;
  const rows = writtenRows(report.html);
  const page = await context.newPage();
  await page.goto('file://' + report.file);
  await settle(page);
  check(await countShown(page) === rows.length, `${N}: the count holds every row of the view`);
  let laid = (await shown(page)).length;
  check(laid < rows.length, `${N}: not every row is laid out at first (${laid})`);
  for (let tries = 0; tries < 50 && laid < rows.length; ++tries) {
    await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
    await settle(page);
    laid = (await shown(page)).length;
  }
  check((await shown(page)).map((r) => r.no).join() === rows.map((r) => r.no).join(),
        `${N}: scrolling down lays out every row in order`);

  // Sorted, and back in the written order, the rows laid out as the reader scrolls keep the order
  // shown; only the laid-out rows are moved, so the way back is checked whole.
  const byEd = rows.map((r, i) => ({no: r.no, ed: r.ed === '' ? 100 : +r.ed, i}))
                   .sort((a, b) => a.ed - b.ed || a.i - b.i).map((r) => r.no).join();
  const scrollToEnd = async () => {
    for (let tries = 0; tries < 50 && (await shown(page)).length < await countShown(page); ++tries) {
      await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
      await settle(page);
    }
    return (await shown(page)).map((r) => r.no).join();
  };
  await page.evaluate(() => window.scrollTo(0, 0));
  await choose(page, 'lx-sort', 'ed');
  check(await scrollToEnd() === byEd, `${N}: sorted by edit distance, every row in order as they are laid out`);
  await choose(page, 'lx-show', 'edited');
  check((await scrollToEnd()) === byEd.split(',').filter((no) => rows.find((r) => r.no === +no).edited).join(),
        `${N}: sorted edited rows in order`);
  await reset(page);
  await page.evaluate(() => window.scrollTo(0, 0));
  check(await scrollToEnd() === rows.map((r) => r.no).join(), `${N}: after sorting the written order comes back whole`);

  // A search at once after opening does not wait for the texts to be read in idle time.
  await page.reload();
  await page.fill('#lx-search', 'WASSER');
  await settle(page);
  check(await countShown(page) === rows.filter((r) => r.texts.some((t) => t.toLowerCase().includes('wasser'))).length,
        `${N}: a search right after opening counts every row holding the word`);
  await page.goto('file://' + report.file);
  await settle(page);
  await page.keyboard.press('p');
  const last = await page.evaluate(() => +document.querySelector('tr.lx-current').cells[0].textContent);
  check(last === rows.filter((r) => r.edited).pop().no, `${N}: p from the top goes to the last edited row`);
  await page.close();
}

async function takeScreenshot(context, report, file) {
  const page = await context.newPage();
  await page.setViewportSize({width: 1280, height: 720});
  await page.goto('file://' + report.file + '#show=edited&q=' + encodeURIComponent('Maschine'));
  await settle(page);
  await page.evaluate(() => document.getElementById('lx-toolbar').scrollIntoView());
  await page.screenshot({path: file});
  await page.close();
}

async function main() {
  const missing = browser.missing();
  if (missing) {
    console.log('SKIP: ' + missing);
    return SKIP;
  }
  if (!fs.existsSync(path.join(corpus, CORPUS_PAIR[0]))) {
    console.log('FAIL: the shared corpus is missing at ' + corpus);
    return 1;
  }
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'lexmora-viewer-'));
  try {
    const ex = (side, name) => path.join(examples, side, name);
    const exSources = ['CM-200_Manual.docx_de-DE.sdlxliff', 'Firmware_2.4_Release_Notes.docx_de-DE.sdlxliff'];
    const exampleReport = makeReport(work, 'examples', exSources.map((n) => ex('before', n)),
                                     exSources.map((n) => ex('after', n)), ['--show-identical']);
    const russian = makeReport(work, 'examples-ru', exSources.map((n) => ex('before', n)),
                               exSources.map((n) => ex('after', n)), ['--show-identical', '--lang', 'ru']);
    const corpusReport = makeReport(work, 'corpus', [path.join(corpus, CORPUS_PAIR[0])],
                                    [path.join(corpus, CORPUS_PAIR[1])], ['--show-identical', '--tags', 'full']);
    execFileSync('python3', [path.join(__dirname, '..', '..', 'bench', 'make_sdlxliff_pair.py'),
                             path.join(work, 'long'), '1000']);
    const longReport = makeReport(work, 'long', [path.join(work, 'long', 'before', 'synthetic_1000.sdlxliff')],
                                  [path.join(work, 'long', 'after', 'synthetic_1000.sdlxliff')], ['--show-identical']);
    const on = await browser.launch(work, true);
    const off = await browser.launch(work, false);
    try {
      for (const r of [exampleReport, russian, corpusReport]) {
        await checkViewer(on, r);
        await checkWithoutScripts(off, r, work);
      }
      await checkLanguages(on, exampleReport, russian);
      await checkLongView(on, longReport);
      if (screenshot) await takeScreenshot(on, exampleReport, screenshot);
    } finally {
      await on.close();
      await off.close();
    }
  } finally {
    fs.rmSync(work, {recursive: true, force: true});
  }
  failures.forEach((f) => console.log('FAIL: ' + f));
  console.log(`${checks - failures.length} of ${checks} checks passed`);
  return failures.length ? 1 : 0;
}

main().then((code) => process.exit(code), (e) => {
  console.log('FAIL: ' + (e && e.stack || e));
  process.exit(1);
});
