// Entry of the Google-family map page bundle.
import { install } from './google/page.js';

install();
