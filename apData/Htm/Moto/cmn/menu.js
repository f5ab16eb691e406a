// The tree index of the HTML export. An item with children calls fnTree with its key;
// a list calls fnTree() with nothing. The first handler of a click stops it, so only the
// innermost item opens or closes, and a click on a link just follows the link.
function fnTree(key) {
  var e = window.event;
  if (e) {
    if (e.stopPropagation) { e.stopPropagation(); } else { e.cancelBubble = true; }
    var t = e.target || e.srcElement;
    if (t && t.tagName && t.tagName.toLowerCase() === 'a') { return; }
  }
  if (key === undefined || key === null) { return; }
  var list = document.getElementById('U' + key);
  var item = document.getElementById('L' + key);
  if (!list || !item) { return; }
  var open = list.className.indexOf('exp') >= 0;
  list.className = open ? 'clp' : 'exp';
  list.style.display = open ? 'none' : 'block';
  item.className = open ? 'clp' : 'exp';
}
