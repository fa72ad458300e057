"use strict";
// "Download with Tandu" on links and on a selected address. The address, and
// nothing else, goes to Tandu's native host on this computer.

const api = globalThis.browser ?? globalThis.chrome;
const HOST = "org.tandu.host";
const MENU_ID = "download-with-tandu";

function notice(message) {
  return api.notifications.create({
    type: "basic",
    iconUrl: api.runtime.getURL("icons/48.png"),
    title: "Download with Tandu",
    message,
  });
}

function webAddress(text) {
  try {
    const url = new URL(String(text).trim());
    return url.protocol === "http:" || url.protocol === "https:" ? url.href : null;
  } catch {
    return null;
  }
}

async function sendToTandu(info) {
  const address = webAddress(info.linkUrl ?? info.selectionText ?? "");
  if (!address) {
    await notice("Only http and https addresses can be downloaded with Tandu.");
    return { ok: false, error: "not an http or https address" };
  }
  let answer;
  try {
    answer = await api.runtime.sendNativeMessage(HOST, { url: address });
  } catch (error) {
    await notice(
      `Tandu cannot be reached (${error.message}). Install Tandu with "cmake --install", ` +
        'or press "Install Extension" in its Preferences, then try again.',
    );
    return { ok: false, error: error.message };
  }
  if (!answer?.ok) {
    await notice(`Tandu refused the address: ${answer?.error ?? "no answer"}`);
  }
  return answer;
}

api.runtime.onInstalled.addListener(() => {
  api.contextMenus.create({
    id: MENU_ID,
    title: "Download with Tandu",
    contexts: ["link", "selection"],
  });
});

api.contextMenus.onClicked.addListener((info) => {
  if (info.menuItemId === MENU_ID) {
    sendToTandu(info);
  }
});
