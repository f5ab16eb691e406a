// Drop-down lists of the top menu for touch screens, where there is no hover: the first tap
// on an entry with a list opens it, a second tap follows the link, a tap elsewhere closes it.
(function () {
  var top = document.getElementById('uTop');
  if (!top || !('ontouchstart' in window)) return;
  var items = top.getElementsByTagName('li');
  function closeAll(except) {
    for (var i = 0; i < items.length; i++) {
      if (items[i] !== except) items[i].className = items[i].className.replace(/\s*\bopen\b/, '');
    }
  }
  for (var i = 0; i < items.length; i++) {
    (function (li) {
      var sub = li.getElementsByTagName('ul')[0];
      var link = li.getElementsByTagName('a')[0];
      if (!sub || !link || sub.parentNode !== li) return;
      link.addEventListener('click', function (e) {
        if (/\bopen\b/.test(li.className)) return;
        e.preventDefault();
        closeAll(li);
        li.className += ' open';
      });
    })(items[i]);
  }
  document.addEventListener('click', function (e) {
    if (!top.contains(e.target)) closeAll(null);
  });
})();
