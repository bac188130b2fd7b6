import { test } from 'node:test';
import assert from 'node:assert/strict';
import { placeInfoHtml, navigationInfoHtml } from '../../src/page/js/core/info_html.js';

test('place information shows web answers as text', () => {
  assert.equal(placeInfoHtml('<img src=x onerror=alert(1)>', 'A & B "C"', '', ''),
    '<div class="noscrollbar"><b>&lt;img src=x onerror=alert(1)&gt;</b><br>地址：A &amp; B &quot;C&quot;</div>');
  assert.equal(placeInfoHtml('n', 'a', "0'1", 't'),
    '<div class="noscrollbar"><b>n</b><br>地址：a<br>电话：0&#39;1<br>标签：t</div>');
  assert.equal(placeInfoHtml(undefined, null, '', ''), '<div class="noscrollbar"><b></b><br>地址：</div>');
});

test('GPS information window', () => {
  assert.equal(navigationInfoHtml('30.00000,120.00000', 9, 35.9, 1234.5678, '12:00:00'),
    '<b>位置：</b>30.00000,120.00000<br/><b>卫星：</b>9 颗<br/><b>海拔：</b>35 m<br/><b>里程：</b>1.235 km<br/><b>时间：</b>12:00:00<br>');
  assert.match(navigationInfoHtml('<b>', 'x', 'y', 0, '<i>'), /位置：<\/b>&lt;b&gt;.*卫星：<\/b>0 颗.*海拔：<\/b>0 m.*0\.000 m.*&lt;i&gt;/);
});
