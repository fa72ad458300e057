"use strict";
// "Download with Tandu" on web links and on a selected address: the link goes
// to Tandu's native host on this computer, with the site's session when the
// options allow it. Optionally, downloads the browser starts go to Tandu too.

const api = globalThis.browser ?? globalThis.chrome;
const HOST = "org.tandu.host";
const MENU_ID = "download-with-tandu";
const SESSION_ACCESS = { permissions: ["cookies"], origins: ["<all_urls>"] };
const DEFAULTS = { session: false, catch: false, catchMegabytes: 50, catchTypes: "zip iso 7z rar tar gz xz dmg exe msi deb rpm apk mp4 mkv" };

async function options() {
  return { ...DEFAULTS, ...(await api.storage.local.get(Object.keys(DEFAULTS))) };
}

// Shown where the user will see it: a desktop notice when one can show, and
// always the button's badge, whose popup keeps the text.
async function showFailure(text) {
  await api.storage.local.set({ lastFailure: text });
  await api.action.setBadgeText({ text: "!" });
  await api.action.setBadgeBackgroundColor({ color: "#c00" });
  await api.action.setTitle({ title: `Download with Tandu: ${text}` });
  try {
    await api.notifications.create({
      type: "basic",
      iconUrl: api.runtime.getURL("icons/48.png"),
      title: "Download with Tandu",
      message: text,
    });
  } catch {
    // No notification service: the badge and its popup say it.
  }
}

function webAddress(text) {
  try {
    const url = new URL(String(text).trim());
    return url.protocol === "http:" || url.protocol === "https:" ? url.href : null;
  } catch {
    return null;
  }
}

async function cookieStoreOf(tab) {
  if (tab?.cookieStoreId) return tab.cookieStoreId; // Firefox, containers included
  if (tab?.id === undefined || !api.cookies.getAllCookieStores) return undefined;
  const stores = await api.cookies.getAllCookieStores();
  return stores.find((store) => store.tabIds.includes(tab.id))?.id;
}

// The cookies the browser itself would send to the address, in its order:
// longer paths first.
async function cookiesFor(address, tab) {
  const query = { url: address };
  const storeId = await cookieStoreOf(tab);
  if (storeId) query.storeId = storeId;
  let cookies;
  try {
    cookies = await api.cookies.getAll(query);
  } catch {
    cookies = await api.cookies.getAll({ ...query, firstPartyDomain: null }); // first-party isolation
  }
  cookies.sort((a, b) => b.path.length - a.path.length);
  return cookies.map((c) => `${c.name}=${c.value}`).join("; ");
}

// The link with what the browser would send with it, when the user allowed
// it (always for a download the browser had started itself).
async function messageFor(address, page, tab, fileName, caught = false) {
  const message = { url: address };
  if (fileName) message.filename = fileName;
  const { session } = await options();
  if (!(session || caught) || !(await api.permissions.contains(SESSION_ACCESS))) return message;
  const referrer = webAddress(page ?? "");
  if (referrer) message.referrer = referrer.split("#")[0];
  message.userAgent = navigator.userAgent;
  const cookies = await cookiesFor(address, tab);
  if (cookies) message.cookies = cookies;
  return message;
}

async function handOver(message) {
  try {
    return await api.runtime.sendNativeMessage(HOST, message);
  } catch (error) {
    return {
      ok: false,
      unreachable: true,
      error:
        `Tandu cannot be reached (${error.message}). Install Tandu with "cmake --install", or ` +
        'press "Install Extension" in its Preferences (a browser started with --user-data-dir ' +
        "needs the host manifest in that folder, see Tandu's README), then try again.",
    };
  }
}

async function sendToTandu(info, tab) {
  const address = webAddress(info.linkUrl ?? info.selectionText ?? "");
  if (!address) {
    await showFailure("Only http and https addresses can be downloaded with Tandu.");
    return { ok: false, error: "not an http or https address" };
  }
  const answer = await handOver(await messageFor(address, info.pageUrl ?? tab?.url, tab));
  if (!answer?.ok) {
    await showFailure(answer?.error ?? "Tandu gave no answer. Try again; if it goes on, restart Tandu.");
  }
  return answer;
}

// --- Downloads the browser starts ---

function baseName(path) {
  return String(path ?? "").split(/[\\/]/).pop();
}

function wanted(item, settings) {
  if (item.byExtensionId || item.state !== "in_progress" || !webAddress(item.finalUrl || item.url)) return false;
  const size = item.totalBytes > 0 ? item.totalBytes : item.fileSize;
  if (settings.catchMegabytes > 0 && size > settings.catchMegabytes * 1024 * 1024) return true;
  const types = settings.catchTypes.toLowerCase().split(/[\s,;]+/).filter(Boolean);
  const name = baseName(item.filename) || baseName(new URL(item.finalUrl || item.url).pathname);
  const type = name.includes(".") ? name.split(".").pop().toLowerCase() : "";
  return types.includes(type) || types.includes(String(item.mime ?? "").toLowerCase());
}

// The browser's own download is cancelled only once Tandu has taken the
// link; when Tandu cannot be reached it goes on as if nothing happened.
async function catchDownload(item) {
  const settings = await options();
  if (!settings.catch || !wanted(item, settings)) return;
  try {
    await api.downloads.pause(item.id);
  } catch {
    return; // finished or gone already
  }
  // The cookie store of the download: a Firefox container, or Chromium's incognito one.
  const store = item.cookieStoreId ?? (item.incognito ? "1" : undefined);
  const tab = store ? { cookieStoreId: store } : undefined;
  const address = item.finalUrl || item.url;
  const answer = await handOver(await messageFor(address, item.referrer, tab, baseName(item.filename), true));
  if (answer?.ok) {
    await api.downloads.cancel(item.id);
    await api.downloads.erase({ id: item.id });
  } else {
    await api.downloads.resume(item.id).catch(() => {});
    if (!answer?.unreachable) await showFailure(answer?.error ?? "Tandu gave no answer.");
  }
}

let catching = false;
function watchDownloads() {
  if (!catching && api.downloads?.onCreated) {
    catching = true;
    api.downloads.onCreated.addListener(catchDownload);
  }
}
watchDownloads();
api.permissions.onAdded?.addListener(watchDownloads);

api.runtime.onInstalled.addListener(() => {
  api.contextMenus.create({
    id: MENU_ID,
    title: "Download with Tandu",
    contexts: ["link", "selection"],
    targetUrlPatterns: ["http://*/*", "https://*/*"],
  });
});

api.contextMenus.onClicked.addListener((info, tab) => {
  if (info.menuItemId === MENU_ID) {
    sendToTandu(info, tab);
  }
});
