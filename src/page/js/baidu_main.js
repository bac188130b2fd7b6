// Entry of the Baidu map page bundle.
import { install } from './baidu/page.js';

install();
