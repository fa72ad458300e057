#!/usr/bin/env bash
# Real Firefox ESR on a desktop with openbox, in a temporary profile that
# takes the unsigned package: a real right-click on a link of a lab site
# behind a login. With the session option on the file arrives whole under the
# browser's name; with it off the site refuses.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
source "$here/lib/browser.sh"
enter_netns "$0" "$@"
browser_lab firefox-esr "$1"

# The package goes in as the profile's own extension; the fixed uuid names its options page.
profile="$dir/profile" id=download-with-tandu@tandu.invalid uuid=6a0c5d7e-0f3b-4d57-9b7c-3e2f4b1c8d21
mkdir -p "$profile/extensions"
cp "$prog/tanduxt.xpi" "$profile/extensions/$id.xpi"
cat >"$profile/user.js" <<PREFS
user_pref("xpinstall.signatures.required", false);
user_pref("extensions.autoDisableScopes", 0);
user_pref("extensions.enabledScopes", 15);
user_pref("extensions.webextOptionalPermissionPrompts", false);
user_pref("extensions.webextensions.uuids", "{\"$id\":\"$uuid\"}");
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
PREFS
firefox-esr --profile "$profile" --no-remote http://127.0.0.1/login >"$dir/browser.log" 2>&1 &
browser=$!
# The entry is the last of the link's menu; the profile grants access without a prompt.
session_download "lab page — Mozilla Firefox" "Up Return" "moz-extension://$uuid/options.html" ""
