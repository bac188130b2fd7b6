// Texts of the area and length labels and of the GPS mileage.
import { fixed } from './format.js';

// Above 1000 (after the change of unit) the value is shown without decimals.
function amount(value) {
  return value > 1000 ? String(Math.trunc(value)) : fixed(value, 3);
}

export function areaLabel(area, showAreaLabel = true) {
  if (!showAreaLabel) return '';
  const a = Number.isFinite(area) && area > 0 ? area : 0;
  if (a > 1000000) return `面积:${amount(a / 1000000)}平方公里`;
  return `面积:${amount(a)}平方米`;
}

export function lengthLabel(length) {
  const metres = Math.round(Number.isFinite(length) && length > 0 ? length : 0);
  if (metres > 1000) return `总长度:${amount(metres / 1000)}公里`;
  return `总长度:${metres}米`;
}

// Mileage of the GPS track: metres with three decimals up to 1000 m, kilometres above.
export function mileageText(metres) {
  if (metres > 1000) return `${amount(metres / 1000)} km`;
  return `${fixed(metres, 3)} m`;
}
