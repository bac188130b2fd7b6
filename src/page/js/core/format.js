// Small text helpers shared by the page scripts. Numbers are always written with "."
// (Number.prototype.toFixed and String() never follow a locale).

// Replaces "{0}", "{1}", ... by the arguments in order; unknown placeholders stay as they are.
export function format(template, ...args) {
  return template.replace(/\{(\d+)\}/g, (m, i) => (i < args.length ? String(args[i]) : m));
}

export function fixed(value, decimals) {
  return Number(value).toFixed(decimals);
}

// Text of an HTML fragment shown in an information window: web answers may hold markup.
export function escapeHtml(value) {
  if (value === undefined || value === null) return '';
  return String(value).replace(/[&<>"']/g, (c) => ({
    '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;',
  })[c]);
}
