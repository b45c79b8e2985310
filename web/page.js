// The page's workflow, as the desktop window's: two file lists, the options, a comparison run in
// a Web Worker (so the page never freezes), its progress lines, then the run's outcome lines with
// a link for each report. Every text comes from the engine's message table.
'use strict';

const SUPPORTED = ['.sdlrpx', '.sdlppx', '.sdlxliff', '.mqxliff', '.mqxlz', '.mxliff', '.xlf', '.xliff'];
const TAG_MODES = { short: 1, id: 2, full: 3 };
const LINE = { blank: 0, done: 1, failure: 2, report: 3, missing: 4, errorsHeading: 5, error: 6 };
const STORE_KEY = 'lexmora-page-options';

const $ = (id) => document.getElementById(id);
const lists = { source: [], edited: [] };
let lang = 'en';
let worker = null;
let running = false;
let operation = '';
let reportUrls = [];

function text(id) {
  return (LEXMORA_MESSAGES[lang] || LEXMORA_MESSAGES.en)[id] || '';
}

// The desktop's option texts begin with " - " for its layout; the page shows them without.
function label(id) {
  return text(id).replace(/^\s*-\s*/, '').trim();
}

function applyLanguage() {
  document.documentElement.lang = lang;
  $('lang').value = lang;
  $('title').textContent = text(0) + LEXMORA_VERSION;
  document.title = $('title').textContent;
  for (const el of document.querySelectorAll('[data-msg]')) el.textContent = label(+el.dataset.msg);
  for (const el of document.querySelectorAll('[data-title]')) el.title = label(+el.dataset.title);
  for (const side of Object.keys(lists)) showList(side);
}

// Options and language are kept in the browser's own storage for the next visit; a browser that
// refuses storage for pages opened from disk simply starts with the defaults.
function saveOptions() {
  const options = { lang };
  for (const id of ['ignore-nbsp', 'hide-identical', 'highlight', 'show-tags']) options[id] = $(id).checked;
  for (const id of ['tags-format', 'format']) options[id] = $(id).value;
  try {
    localStorage.setItem(STORE_KEY, JSON.stringify(options));
  } catch (e) {
    /* no storage: nothing to keep */
  }
}

function loadOptions() {
  let options = {};
  try {
    options = JSON.parse(localStorage.getItem(STORE_KEY) || '{}') || {};
  } catch (e) {
    options = {};
  }
  for (const id of ['ignore-nbsp', 'hide-identical', 'highlight', 'show-tags']) $(id).checked = options[id] === true;
  $('tags-format').value = options['tags-format'] in TAG_MODES ? options['tags-format'] : 'short';
  $('format').value = options.format === 'xlsx' ? 'xlsx' : 'html';
  lang = options.lang === 'ru' ? 'ru' : 'en';
}

function resetOptions() {
  for (const id of ['ignore-nbsp', 'hide-identical', 'highlight', 'show-tags']) $(id).checked = false;
  $('tags-format').value = 'short';
  $('format').value = 'html';
  saveOptions();
}

// Lists keep the order the files were added in. A browser gives names, not paths: a file counts as
// already listed when its name (case aside), size and time agree.
function addFiles(side, files, onlySupported) {
  for (const file of files) {
    const name = file.name.toLowerCase();
    if (onlySupported && !SUPPORTED.some((ext) => name.endsWith(ext))) continue;
    if (lists[side].some((f) => f.name.toLowerCase() === name && f.size === file.size && f.lastModified === file.lastModified))
      continue;
    lists[side].push(file);
  }
  showList(side);
}

function showList(side) {
  const box = document.querySelector(`.drop[data-side="${side}"]`);
  const ul = box.querySelector('.files');
  ul.replaceChildren();
  lists[side].forEach((file, index) => {
    const li = document.createElement('li');
    const name = document.createElement('span');
    name.textContent = file.name;
    name.title = file.name;
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.className = 'remove';
    remove.textContent = '\u00d7';
    remove.setAttribute('aria-label', `${label(246)} ${file.name}`);
    remove.title = remove.getAttribute('aria-label');
    remove.addEventListener('click', () => {
      lists[side].splice(index, 1);
      showList(side);
      $(`${side}-files`).focus();
    });
    li.append(name, remove);
    ul.append(li);
  });
  box.classList.toggle('empty', lists[side].length === 0);
  document.querySelector(`.clear[data-side="${side}"]`).disabled = lists[side].length === 0;
}

function setState(state) {
  document.body.dataset.state = state;
  running = state === 'running';
  $('compare').disabled = running || state === 'loading';
  $('stop').hidden = !running;
  for (const el of document.querySelectorAll('.side input, .side button, .options input, .options select, .options button'))
    el.disabled = running || (el.classList.contains('clear') && lists[el.dataset.side].length === 0);
}

// The log shows finished operations and, while one runs, its two progress lines.
const log = { done: [], progress: [] };
function showLog() {
  $('log').textContent = log.done.concat(log.progress).join('\n');
}

function addLine(ul, line, className) {
  const li = document.createElement('li');
  li.textContent = line;
  if (className) li.className = className;
  ul.append(li);
  return li;
}

function clearWork() {
  for (const url of reportUrls) URL.revokeObjectURL(url);
  reportUrls = [];
  log.done = [];
  log.progress = [];
  operation = '';
  for (const id of ['outcome', 'reports', 'errors']) $(id).replaceChildren();
  $('errors-heading').hidden = true;
  $('work').hidden = false;
}

function reportLink(report, line) {
  const blob = new Blob([report.data], {
    type: report.name.endsWith('.html') ? 'text/html' : 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet',
  });
  const url = URL.createObjectURL(blob);
  reportUrls.push(url);
  const row = document.createElement('p');
  row.className = 'report';
  const title = document.createElement('span');
  title.textContent = line.text.replace(line.path, report.name);
  const save = document.createElement('a');
  save.href = url;
  save.download = report.name;
  save.textContent = label(250);
  row.append(title, ' ');
  if (report.name.endsWith('.html')) {
    const open = document.createElement('a');
    open.href = url;
    open.target = '_blank';
    open.rel = 'noopener';
    open.textContent = label(249);
    row.append(open, ' \u00b7 ');
  }
  row.append(save);
  $('reports').append(row);
}

function showOutcome(lines, reports) {
  const byName = new Map(reports.map((r) => [r.name, r]));
  for (const line of lines) {
    switch (line.kind) {
      case LINE.report:
        reportLink(byName.get(line.name), line);
        break;
      case LINE.errorsHeading:
        $('errors-heading').textContent = line.text;
        $('errors-heading').hidden = false;
        break;
      case LINE.error:
        addLine($('errors'), line.text);
        break;
      case LINE.missing:
        addLine($('outcome'), line.text.replace(line.path, line.path.slice(line.path.lastIndexOf('/') + 1)), 'failure');
        break;
      default:
        addLine($('outcome'), line.text, line.kind === LINE.failure ? 'failure' : '');
    }
  }
  setState('done');
  const first = $('reports').querySelector('a');
  (first || $('compare')).focus();
}

// The lines of the operation that ended stay in the log.
function keepProgress() {
  log.done.push(...log.progress);
  log.progress = [];
  showLog();
}

function finishOperation() {
  if (operation) log.progress = [operation + text(37)];
  operation = '';
  keepProgress();
}

function startWorker() {
  const source = $('engine-source').textContent;
  worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
  worker.onmessage = (event) => {
    const m = event.data;
    if (m.type === 'operation') {
      keepProgress();
      operation = m.first;
    } else if (m.type === 'progress') {
      log.progress = [m.first, m.second];
      showLog();
    } else if (m.type === 'done') {
      // As in the desktop's log: an operation's finish line takes the place of its two lines.
      log.progress = [m.first];
      showLog();
    } else if (m.type === 'outcome') {
      operation = '';
      keepProgress();
      showOutcome(m.lines, m.reports);
    } else if (m.type === 'failed') {
      engineFailed(m.reason);
    }
  };
  worker.onerror = (event) => {
    event.preventDefault();
    engineFailed(event.message);
  };
}

// The worker died (out of memory, a fault in the engine): the run is over, the next one gets a
// fresh worker.
function engineFailed(reason) {
  if (worker) worker.terminate();
  worker = null;
  finishOperation();
  addLine($('outcome'), text(43), 'failure');
  addLine($('outcome'), label(252) + (reason ? ` (${reason})` : ''), 'failure');
  setState('done');
  $('compare').focus();
}

function compare() {
  if (running) return;
  clearWork();
  if (!lists.source.length || !lists.edited.length) {
    addLine($('outcome'), text(34), 'failure');
    addLine($('outcome'), text(35), 'failure');
    setState('done');
    return;
  }
  log.done = [text(36), ''];
  showLog();
  if (!worker) startWorker();
  setState('running');
  $('stop').focus();
  worker.postMessage({
    type: 'compare',
    source: lists.source,
    edited: lists.edited,
    options: {
      hideIdentical: $('hide-identical').checked ? 1 : 0,
      ignoreNbsp: $('ignore-nbsp').checked ? 1 : 0,
      highlight: $('highlight').checked ? 1 : 0,
      tags: $('show-tags').checked ? TAG_MODES[$('tags-format').value] : 0,
      format: $('format').value === 'xlsx' ? 1 : 0,
      lang: lang === 'ru' ? 1 : 0,
    },
  });
}

// A run in a worker cannot be asked to stop (it never returns to its message loop until done),
// so stopping ends the worker; the lines are those the engine gives a run stopped by the user.
function stop() {
  if (!running) return;
  worker.terminate();
  worker = null;
  finishOperation();
  showOutcome(LEXMORA_MESSAGES.stopped[lang], []);
}

function wireDrop(box) {
  const side = box.dataset.side;
  box.addEventListener('dragover', (event) => {
    if (running) return;
    event.preventDefault();
    box.classList.add('over');
  });
  box.addEventListener('dragleave', () => box.classList.remove('over'));
  box.addEventListener('drop', (event) => {
    event.preventDefault();
    box.classList.remove('over');
    if (!running) addFiles(side, event.dataTransfer.files, true);
  });
}

// Both lists from one template: caption, add button and clear button with their message ids.
function buildSides() {
  const sides = { source: [1, 10, 18, 19], edited: [2, 14, 20, 21] };
  for (const [side, [caption, add, clear, clearHint]] of Object.entries(sides)) {
    const section = $('side-template').content.firstElementChild.cloneNode(true);
    section.id = `${side}-side`;
    const heading = section.querySelector('h2');
    heading.id = `${side}-caption`;
    heading.dataset.msg = caption;
    section.setAttribute('aria-labelledby', heading.id);
    const input = section.querySelector('input');
    input.id = `${side}-files`;
    const addButton = section.querySelector('label');
    addButton.htmlFor = input.id;
    addButton.dataset.msg = add;
    const clearButton = section.querySelector('.clear');
    Object.assign(clearButton.dataset, { side, msg: clear, title: clearHint });
    section.querySelector('.drop').dataset.side = side;
    document.querySelector('.lists').append(section);
  }
}

function init() {
  buildSides();
  if (typeof WebAssembly !== 'object' || typeof Worker !== 'function') {
    applyLanguage();
    addLine($('outcome'), label(251), 'failure');
    $('work').hidden = false;
    return;
  }
  loadOptions();
  applyLanguage();
  for (const side of Object.keys(lists)) {
    const input = $(`${side}-files`);
    input.addEventListener('change', () => {
      addFiles(side, input.files, false);
      input.value = '';
    });
    document.querySelector(`.clear[data-side="${side}"]`).addEventListener('click', () => {
      lists[side] = [];
      showList(side);
      setState(document.body.dataset.state);
    });
  }
  for (const box of document.querySelectorAll('.drop')) wireDrop(box);
  // A file dropped beside the lists would make the browser leave the page for the file.
  window.addEventListener('dragover', (event) => event.preventDefault());
  window.addEventListener('drop', (event) => event.preventDefault());
  for (const id of ['ignore-nbsp', 'hide-identical', 'highlight', 'show-tags', 'tags-format', 'format'])
    $(id).addEventListener('change', saveOptions);
  $('lang').addEventListener('change', () => {
    lang = $('lang').value === 'ru' ? 'ru' : 'en';
    applyLanguage();
    saveOptions();
  });
  $('reset').addEventListener('click', resetOptions);
  $('compare').addEventListener('click', compare);
  $('stop').addEventListener('click', stop);
  setState('ready');
}

init();
