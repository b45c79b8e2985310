// Debian's Chromium driven through playwright-core, for the viewer test and its benchmark.
// Never a downloaded browser: the system's /usr/bin/chromium with a fresh profile each time.
'use strict';
const fs = require('fs');
const path = require('path');

const CHROMIUM = '/usr/bin/chromium';
const ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
              '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// Why the browser cannot be driven here, or null when it can.
function missing() {
  if (!fs.existsSync(CHROMIUM)) return `${CHROMIUM} is missing (apt-get install chromium)`;
  try {
    require.resolve('playwright-core');
  } catch (e) {
    return `playwright-core is missing (npm ci in ${__dirname})`;
  }
  return null;
}

// A browser context with a profile folder of its own inside AWork, scripts on or off.
async function launch(AWork, AScripts) {
  const {chromium} = require('playwright-core');
  const profile = fs.mkdtempSync(path.join(AWork, 'profile-'));
  return chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM, headless: true, args: ARGS, javaScriptEnabled: AScripts,
    viewport: {width: 1280, height: 900}
  });
}

module.exports = {missing, launch};
