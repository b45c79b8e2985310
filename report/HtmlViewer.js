(function (T) {
  'use strict';
  // Everything the toolbar needs is read from the page as it was written; nothing above this
  // script is changed until the reader uses a control, so without scripts the page is the same.
  var doc = document;
  var table = null;
  var allTables = doc.getElementsByTagName('table');
  for (var t = 0; t < allTables.length; ++t) {
    var cand = allTables[t];
    if (cand.className === 't02' && !cand.closest('.analysis')) {
      table = cand;
      break;
    }
  }
  if (!table || table.rows.length < 2) return;

  var analysisTables = doc.querySelectorAll('div.analysis table.t02');
  var TAG_CLASSES = {tagX: 1, tagY: 1, tagZ: 1};

  // Rows, kept in arrays built once: filtering reads only these.
  var trs = [], nos = [], eds = [], bands = [], docs = [], edited = [], matched = [], locked = [];
  var cells = [];  // [source, translated, edited] cells of each row
  var joins = [];  // document caption rows: {tr, doc, first, last}
  var originalOrder = [];  // every row of the table body below the captions, as written
  var writtenAt = [];  // each segment row's place in originalOrder
  var docNames = [], docIndex = Object.create(null);
  var bandLabels = [], bandBounds = [];

  if (analysisTables.length > 0) {
    var bandRows = analysisTables[0].rows;
    for (var b = 1; b < bandRows.length; ++b) {
      if (bandRows[b].className !== 'eq') continue;
      var label = bandRows[b].cells[0].textContent;
      bandLabels.push(label);
      // A band holds the values from its lower bound up; the last one takes everything below.
      var lower = /^\d+/.exec(label);
      bandBounds.push(lower ? parseInt(lower[0], 10) : -Infinity);
    }
    if (bandBounds.length > 0) bandBounds[bandBounds.length - 1] = -Infinity;
  }

  function bandOf(ed) {
    for (var i = 0; i < bandBounds.length; ++i)
      if (ed >= bandBounds[i]) return i;
    return bandBounds.length - 1;
  }

  // A caption reads "document (source > target)"; the document is what comes before the last " (".
  function documentOf(caption) {
    var at = caption.lastIndexOf(' (');
    return at > 0 ? caption.slice(0, at) : caption;
  }

  var currentJoin = -1, currentDoc = -1;
  var tableRows = table.rows;
  for (var r = 1; r < tableRows.length; ++r) {
    var tr = tableRows[r];
    originalOrder.push(tr);
    var rowCells = tr.cells;
    if (rowCells.length === 1) {
      var name = documentOf(rowCells[0].textContent.trim());
      if (!(name in docIndex)) {
        docIndex[name] = docNames.length;
        docNames.push(name);
      }
      currentDoc = docIndex[name];
      joins.push({tr: tr, first: trs.length, last: trs.length});
      currentJoin = joins.length - 1;
      continue;
    }
    if (rowCells.length !== 6) continue;
    var edText = rowCells[5].textContent.trim();
    // A row whose texts are both empty shows no edit distance and counts as unchanged.
    var ed = edText === '' ? 100 : parseFloat(edText);
    if (isNaN(ed)) ed = 100;
    trs.push(tr);
    writtenAt.push(originalOrder.length - 1);
    nos.push(parseInt(rowCells[0].textContent, 10) || trs.length);
    eds.push(ed);
    bands.push(bandLabels.length ? bandOf(ed) : -1);
    docs.push(currentDoc);
    edited.push(tr.className === 'ne');
    matched.push(rowCells[1].textContent.trim() !== '');
    locked.push(rowCells[2].className === 'lbg');
    cells.push([rowCells[2], rowCells[3], rowCells[4]]);
    if (currentJoin >= 0) joins[currentJoin].last = trs.length;
  }
  var count = trs.length;
  if (count === 0) return;
  var body = trs[0].parentNode;
  var afterRows = originalOrder[originalOrder.length - 1].nextSibling;

  // The text nodes of a cell that hold its searchable text: all but the labels of inline tags.
  function textNodesOf(AElement, ANodes) {
    ANodes = ANodes || [];
    for (var n = AElement.firstChild; n; n = n.nextSibling) {
      if (n.nodeType === Node.TEXT_NODE)
        ANodes.push(n);
      else if (n.nodeType === Node.ELEMENT_NODE && TAG_CLASSES[n.className] !== 1)
        textNodesOf(n, ANodes);
    }
    return ANodes;
  }
  // Note: a cell without a shown tag label is read whole by textContent: walking its nodes from
  // the script makes the browser build an object for each, which takes several times as long.
  var labelled = null;  // the cells that show a tag label
  function cellText(td) {
    if (!labelled) {
      labelled = new Set();
      var labels = table.querySelectorAll('.tagX:not(:empty),.tagY:not(:empty),.tagZ:not(:empty)');
      for (var i = 0; i < labels.length; ++i) labelled.add(labels[i].closest('td'));
    }
    if (!labelled.has(td)) return td.textContent;
    var nodes = textNodesOf(td), text = '';
    for (var k = 0; k < nodes.length; ++k) text += nodes[k].data;
    return text;
  }
  // Lower-case texts, read in idle time after the page opened, so that the first search does not
  // wait for them; a search that comes earlier reads what is left at once.
  var lowerTexts = [[], [], []], textsRead = 0;
  function readTexts(AUpTo) {
    for (; textsRead < AUpTo; ++textsRead) {
      var row = cells[textsRead];
      for (var c = 0; c < 3; ++c) lowerTexts[c].push(cellText(row[c]).toLowerCase());
    }
  }
  function searchTexts() {
    readTexts(count);
    return lowerTexts;
  }
  // Note: the texts are read in slices of about 20 ms, one after another as soon as the page is
  // shown, so the reading is over a fraction of a second after opening even on the biggest report
  // and the user's events still come through between two slices. Waiting for idle time instead
  // left much of it to the first search on a page the user works in.
  var READ_SLICE = 4000;
  function readInSlices() {
    readTexts(Math.min(count, textsRead + READ_SLICE));
    if (textsRead < count) setTimeout(readInSlices, 0);
  }

  // The view's state, and its form in the address's fragment.
  var COLUMNS = ['all', 'source', 'translated', 'edited'];
  var DEFAULTS = {show: 'all', band: '', doc: '', match: '', locked: '', q: '', col: 'all', sort: 'row'};
  var KEYS = Object.keys(DEFAULTS);
  var state = Object.assign({}, DEFAULTS);

  function fragmentOf(s) {
    var parts = [];
    KEYS.forEach(function (k) {
      if (s[k] !== DEFAULTS[k]) parts.push(k + '=' + encodeURIComponent(s[k]));
    });
    return parts.join('&');
  }
  function stateOf(fragment) {
    var s = Object.assign({}, DEFAULTS);
    fragment.replace(/^#/, '').split('&').forEach(function (part) {
      var eq = part.indexOf('=');
      if (eq < 0) return;
      var key = part.slice(0, eq), value;
      try {
        value = decodeURIComponent(part.slice(eq + 1));
      } catch (e) {
        return;
      }
      if (Object.prototype.hasOwnProperty.call(DEFAULTS, key)) s[key] = value;
    });
    // Values the page does not offer fall back to their defaults.
    if (s.show !== 'edited') s.show = 'all';
    if (bandLabels.indexOf(s.band) < 0) s.band = '';
    if (!(s.doc in docIndex)) s.doc = '';
    if (s.match !== 'yes' && s.match !== 'no') s.match = '';
    if (s.locked !== 'yes' && s.locked !== 'no') s.locked = '';
    if (COLUMNS.indexOf(s.col) < 0) s.col = 'all';
    if (s.sort !== 'ed') s.sort = 'row';
    return s;
  }

  // The toolbar.
  function element(tag, attrs, text) {
    var e = doc.createElement(tag);
    for (var k in attrs) e.setAttribute(k, attrs[k]);
    if (text !== undefined) e.textContent = text;
    return e;
  }
  function select(id, options, title) {
    var s = element('select', {id: id, title: title});
    options.forEach(function (o) {
      s.appendChild(element('option', {value: o[0]}, o[1]));
    });
    return s;
  }
  var bar = element('div', {id: 'lx-toolbar'});
  var controls = {
    show: select('lx-show', [['all', T.showAll], ['edited', T.showEdited]], T.showEdited),
    band: select('lx-band', [['', T.anyBand]].concat(bandLabels.map(function (l) {
      return [l, l];
    })), T.anyBand),
    doc: select('lx-doc', [['', T.anyDocument]].concat(docNames.map(function (d) {
      return [d, d];
    })), T.anyDocument),
    match: select('lx-match', [['', T.anyMatch], ['yes', T.withMatch], ['no', T.withoutMatch]], T.anyMatch),
    locked: select('lx-locked', [['', T.anyLock], ['yes', T.lockedOnly], ['no', T.unlockedOnly]], T.anyLock),
    q: element('input', {id: 'lx-search', type: 'search', placeholder: T.search, title: T.search}),
    col: select('lx-col', [['all', T.inAll], ['source', T.inSource], ['translated', T.inTranslated],
                           ['edited', T.inEdited]], T.search),
    sort: select('lx-sort', [['row', T.sortByRow], ['ed', T.sortByEd]], T.sortByEd)
  };
  if (!bandLabels.length) controls.band.hidden = true;
  var prevButton = element('button', {id: 'lx-prev', type: 'button'}, T.previous);
  var nextButton = element('button', {id: 'lx-next', type: 'button'}, T.next);
  var resetButton = element('button', {id: 'lx-reset', type: 'button'}, T.reset);
  var countLabel = element('span', {'class': 'lx-count-label'}, T.rowsShown);
  var countText = element('span', {id: 'lx-count'});
  KEYS.forEach(function (k) {
    bar.appendChild(controls[k]);
  });
  [prevButton, nextButton, resetButton, countLabel, countText].forEach(function (e) {
    bar.appendChild(e);
  });
  table.parentNode.insertBefore(bar, table);

  // Applying a state: which rows the view holds, in which order, with which hits marked.
  // Note: a browser lays a big table out again whole whenever rows come or go, which takes
  // seconds for tens of thousands of rows; so only the first rows of the view are laid out, and
  // more as the reader scrolls near the end of them (all of them before printing).
  var REVEAL_STEP = 150;
  var inView = new Uint8Array(count).fill(1);  // rows the view holds
  var laidOut = new Uint8Array(count).fill(1);  // rows the page lays out now
  var viewOrder = [];  // the rows of the view, in the order shown
  var revealed = 0;  // how many of them are laid out
  var shownOrder = null;  // every row in the order shown; null for the written order
  var edOrder = null;  // every row by edit distance, made at the first sort by it
  var placed = [];  // the rows moved out of the written order, as they stand at the top
  var current = -1;  // the row n and p moved to
  var markedCells = [];  // [cell, html before marking]

  function rowPasses(i, s, bandWanted, docWanted) {
    if (s.show === 'edited' && !edited[i]) return false;
    if (bandWanted >= 0 && bands[i] !== bandWanted) return false;
    if (docWanted >= 0 && docs[i] !== docWanted) return false;
    if (s.match && matched[i] !== (s.match === 'yes')) return false;
    if (s.locked && locked[i] !== (s.locked === 'yes')) return false;
    return true;
  }

  function wanted(s) {
    var want = new Uint8Array(count);
    var bandWanted = s.band ? bandLabels.indexOf(s.band) : -1;
    var docWanted = s.doc ? docIndex[s.doc] : -1;
    var needle = s.q.toLowerCase();
    var texts = needle ? searchTexts() : null;
    var first = s.col === 'all' ? 0 : COLUMNS.indexOf(s.col) - 1;
    var last = s.col === 'all' ? 2 : first;
    for (var i = 0; i < count; ++i) {
      if (!rowPasses(i, s, bandWanted, docWanted)) continue;
      if (texts) {
        var hit = false;
        for (var c = first; c <= last && !hit; ++c) hit = texts[c][i].indexOf(needle) >= 0;
        if (!hit) continue;
      }
      want[i] = 1;
    }
    return want;
  }

  function orderOf(sort) {
    if (sort !== 'ed') return null;
    if (!edOrder) {
      edOrder = [];
      for (var i = 0; i < count; ++i) edOrder.push(i);
      edOrder.sort(function (a, b) {
        return eds[a] - eds[b] || nos[a] - nos[b];
      });
    }
    return edOrder;
  }

  // Note: in another order than the written one only the laid-out rows of the view are moved, to
  // the top of the table in the order shown; the hidden rows stay where they were written. Moving
  // every row of a big table takes the browser the better part of a second.
  function place(AFrom, ATo) {
    if (!shownOrder || AFrom >= ATo) return;
    var fragment = doc.createDocumentFragment();
    for (var p = AFrom; p < ATo; ++p) fragment.appendChild(trs[viewOrder[p]]);
    var header = tableRows[0];
    var anchor = placed.length ? trs[placed[placed.length - 1]].nextSibling
                               : header.parentNode === body ? header.nextSibling : body.firstChild;
    body.insertBefore(fragment, anchor);
    for (var q = AFrom; q < ATo; ++q) placed.push(viewOrder[q]);
  }

  // Puts the moved rows back where they were written, the last first: each goes before the row
  // that followed it, which by then stands in its own place.
  function unplace() {
    placed.sort(function (a, b) {
      return b - a;
    });
    placed.forEach(function (i) {
      var next = writtenAt[i] + 1;
      body.insertBefore(trs[i], next < originalOrder.length ? originalOrder[next] : afterRows);
    });
    placed = [];
  }

  function unmark() {
    for (var i = markedCells.length - 1; i >= 0; --i) markedCells[i][0].innerHTML = markedCells[i][1];
    markedCells = [];
  }

  // Wraps every hit of needle in a cell; a hit may run across the cell's marked stretches.
  function markCell(td, needle) {
    var nodes = textNodesOf(td), starts = [], text = '';
    for (var i = 0; i < nodes.length; ++i) {
      starts.push(text.length);
      text += nodes[i].data;
    }
    var lower = text.toLowerCase(), hits = [];
    if (lower.length === text.length) {
      for (var at = lower.indexOf(needle); at >= 0; at = lower.indexOf(needle, at + needle.length))
        hits.push([at, at + needle.length]);
    } else {
      // Note: lower-casing changed the length (a few letters do), so the offsets come from a
      // case-insensitive expression over the text itself.
      var re = new RegExp(needle.replace(/[.*+?^${}()|[\]\\]/g, '\\$&'), 'giu'), m;
      while ((m = re.exec(text)) !== null) {
        if (m[0].length === 0) break;
        hits.push([m.index, m.index + m[0].length]);
      }
    }
    if (!hits.length) return;
    markedCells.push([td, td.innerHTML]);
    for (var h = hits.length - 1; h >= 0; --h) {
      for (var k = nodes.length - 1; k >= 0; --k) {
        var from = Math.max(hits[h][0], starts[k]) - starts[k];
        var to = Math.min(hits[h][1], starts[k] + nodes[k].data.length) - starts[k];
        if (from >= to) continue;
        var piece = nodes[k];
        if (to < piece.data.length) piece.splitText(to);
        if (from > 0) piece = piece.splitText(from);
        var mark = doc.createElement('mark');
        mark.className = 'lx-hit';
        piece.parentNode.insertBefore(mark, piece);
        mark.appendChild(piece);
      }
    }
  }

  // Marks the hits in the laid-out rows of the view from position AFrom on.
  function markFrom(AFrom) {
    if (!state.q) return;
    var needle = state.q.toLowerCase(), texts = searchTexts();
    var first = state.col === 'all' ? 0 : COLUMNS.indexOf(state.col) - 1;
    var last = state.col === 'all' ? 2 : first;
    for (var p = AFrom; p < revealed; ++p) {
      var i = viewOrder[p];
      for (var c = first; c <= last; ++c)
        if (texts[c][i].indexOf(needle) >= 0) markCell(cells[i][c], needle);
    }
  }

  // A caption shows while one of its rows does, and only in the written order.
  function showCaptions() {
    joins.forEach(function (j) {
      var any = false;
      for (var k = j.first; k < j.last && !any; ++k) any = laidOut[k] === 1;
      j.tr.hidden = !any || state.sort !== 'row';
    });
  }

  // Lays out the rows of the view up to position AUpTo.
  function reveal(AUpTo) {
    var upTo = Math.min(AUpTo, viewOrder.length);
    if (upTo <= revealed) return;
    place(revealed, upTo);
    for (var p = revealed; p < upTo; ++p) {
      trs[viewOrder[p]].hidden = false;
      laidOut[viewOrder[p]] = 1;
    }
    var from = revealed;
    revealed = upTo;
    markFrom(from);
    showCaptions();
  }

  function nearTheEnd() {
    if (revealed < viewOrder.length && table.getBoundingClientRect().bottom < window.innerHeight * 3)
      reveal(revealed + REVEAL_STEP);
  }

  function apply(s) {
    state = s;
    var want = wanted(s);
    unmark();
    unplace();
    shownOrder = orderOf(s.sort);
    viewOrder = [];
    for (var p = 0; p < count; ++p) {
      var row = shownOrder ? shownOrder[p] : p;
      if (want[row]) viewOrder.push(row);
    }
    inView = want;
    revealed = Math.min(viewOrder.length, REVEAL_STEP);
    place(0, revealed);
    var lay = new Uint8Array(count);
    for (var k = 0; k < revealed; ++k) lay[viewOrder[k]] = 1;
    for (var i = 0; i < count; ++i)
      if (lay[i] !== laidOut[i]) trs[i].hidden = !lay[i];
    laidOut = lay;
    showCaptions();
    if (current >= 0 && !inView[current]) setCurrent(-1);
    countText.textContent = viewOrder.length + ' / ' + count;
    KEYS.forEach(function (k) {
      if (controls[k].value !== s[k]) controls[k].value = s[k];
    });
    markFrom(0);
    var fragment = fragmentOf(s);
    if (location.hash.replace(/^#/, '') !== fragment) {
      try {
        history.replaceState(null, '', fragment ? '#' + fragment : location.pathname + location.search);
      } catch (e) {
        location.replace('#' + fragment);
      }
    }
  }

  function setCurrent(i) {
    if (current >= 0) trs[current].classList.remove('lx-current');
    current = i;
    if (current >= 0) {
      trs[current].classList.add('lx-current');
      trs[current].scrollIntoView({block: 'center'});
    }
  }

  // The next (AStep 1) or previous (-1) edited row of the view, in the order shown.
  function step(AStep) {
    var position = current >= 0 ? viewOrder.indexOf(current) : (AStep < 0 ? viewOrder.length : -1);
    for (var p = position + AStep; p >= 0 && p < viewOrder.length; p += AStep) {
      if (!edited[viewOrder[p]]) continue;
      if (p >= revealed) reveal(p + REVEAL_STEP);
      setCurrent(viewOrder[p]);
      return;
    }
  }

  var pending = 0;
  function fromControls() {
    // Keystrokes that come faster than frames are answered once.
    if (pending) return;
    pending = requestAnimationFrame(function () {
      pending = 0;
      var s = {};
      KEYS.forEach(function (k) {
        s[k] = controls[k].value;
      });
      apply(s);
    });
  }
  KEYS.forEach(function (k) {
    controls[k].addEventListener(k === 'q' ? 'input' : 'change', fromControls);
  });
  prevButton.addEventListener('click', function () {
    step(-1);
  });
  nextButton.addEventListener('click', function () {
    step(1);
  });
  resetButton.addEventListener('click', function () {
    apply(Object.assign({}, DEFAULTS));
  });
  doc.addEventListener('keydown', function (e) {
    if (e.ctrlKey || e.altKey || e.metaKey || e.defaultPrevented) return;
    var target = e.target;
    if (target && (target.isContentEditable || /^(INPUT|SELECT|TEXTAREA)$/.test(target.tagName))) return;
    if (e.key === 'n' || e.key === 'p') {
      e.preventDefault();
      step(e.key === 'n' ? 1 : -1);
    }
  });
  var scrollPending = 0;
  window.addEventListener('scroll', function () {
    if (scrollPending) return;
    scrollPending = requestAnimationFrame(function () {
      scrollPending = 0;
      nearTheEnd();
    });
  }, {passive: true});
  window.addEventListener('beforeprint', function () {
    reveal(viewOrder.length);
  });
  window.addEventListener('hashchange', function () {
    apply(stateOf(location.hash));
    // A link of the analysis tables lands on the rows it names, below the toolbar that stays on top.
    if (fromLink) window.scrollTo(0, table.getBoundingClientRect().top + window.scrollY - bar.offsetHeight);
    fromLink = false;
  });

  // Band and document rows of the analysis tables link to the rows they count.
  var fromLink = false;
  function linkCell(td, s) {
    var a = element('a', {href: '#' + fragmentOf(Object.assign({}, DEFAULTS, s)), 'class': 'lx-link', title: T.linkHint});
    while (td.firstChild) a.appendChild(td.firstChild);
    td.appendChild(a);
    a.addEventListener('click', function () {
      fromLink = true;
    });
  }
  if (analysisTables.length > 0 && bandLabels.length) {
    var bandTableRows = analysisTables[0].rows, nextBand = 0;
    for (var br = 1; br < bandTableRows.length; ++br)
      if (bandTableRows[br].className === 'eq') linkCell(bandTableRows[br].cells[0], {band: bandLabels[nextBand++]});
  }
  if (analysisTables.length > 1) {
    var docTableRows = analysisTables[1].rows;
    for (var dr = 1; dr < docTableRows.length; ++dr) {
      var docName = docTableRows[dr].cells[0].textContent;
      if (docTableRows[dr].className === 'eq' && docName in docIndex)
        linkCell(docTableRows[dr].cells[0], {doc: docName});
    }
  }

  apply(stateOf(location.hash));
  setTimeout(readInSlices, 0);
})
