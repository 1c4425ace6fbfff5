// Language of the demo pages: chosen by the user, else the system's.
var lang = localStorage.getItem('velta-lang') || ((navigator.language || 'en').slice(0, 2) === 'de' ? 'de' : 'en');
function t(en, de) { return lang === 'de' ? de : en; }
function applyLanguage() {
  document.documentElement.lang = lang;
  document.querySelectorAll('[data-' + lang + ']').forEach(function (el) { el.textContent = el.getAttribute('data-' + lang); });
  document.querySelectorAll('[data-lang]').forEach(function (a) { a.classList.toggle('on', a.getAttribute('data-lang') === lang); });
}
document.querySelectorAll('[data-lang]').forEach(function (a) {
  a.addEventListener('click', function (e) { e.preventDefault(); lang = a.getAttribute('data-lang'); localStorage.setItem('velta-lang', lang); applyLanguage(); });
});
// Results show in the page and in its title, so that they can be read from outside.
function report(text) {
  var r = document.getElementById('result');
  if (r) r.textContent = text;
  document.title = 'Velta Demo - ' + text;
}
applyLanguage();
