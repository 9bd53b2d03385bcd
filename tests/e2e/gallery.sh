#!/usr/bin/env bash
# The gallery of a few entries: the pictures and thumbnails exist with their sizes, each contact-sheet cell is
# its entry's thumbnail, the index page parses and links every entry, a transforming entry is rendered after
# the primer and says so, a listening entry is marked as one, the page shows its thumbnails in a headless browser, and the progress line shows on a
# terminal only.
# Usage: gallery.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require identify convert compare python3 script

cd "$WORK" || exit 1
unset DISPLAY WAYLAND_DISPLAY
"$PLAYER" --gallery out --only 1,13,15,27,186 --frames 30 2>progress.txt || fail "the gallery failed"
[ ! -s progress.txt ] || fail "progress shown although standard error is no terminal: $(cat progress.txt)"
for entry in 001 013 015 027 186; do
    [ "$(identify -format '%wx%h' "out/$entry.png")" = "800x600" ] || fail "out/$entry.png is not 800 x 600"
    [ "$(identify -format '%wx%h' "out/thumbs/$entry.png")" = "200x150" ] || fail "thumbs/$entry.png is not 200 x 150"
done
# The cells lie in one row, 4 pixels apart, each a thumbnail over its label.
index=0
for entry in 001 013 015 027 186; do
    convert out/contact-sheet.png -crop "200x150+$((4 + index * 204))+4" +repage cell.png
    [ "$(compare -metric AE cell.png "out/thumbs/$entry.png" null: 2>&1)" = "0" ] ||
        fail "the contact sheet's cell $index is not the thumbnail of entry $entry"
    index=$((index + 1))
done
python3 - out/index.html <<'PYTHON' || fail "index.html does not link every entry"
import sys
from html.parser import HTMLParser
class Links(HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.images, self.text = set(), set(), ""
    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "a": self.links.add(attrs.get("href"))
        if tag == "img": self.images.add(attrs.get("src"))
    def handle_data(self, data): self.text += data
page = Links()
page.feed(open(sys.argv[1]).read())
for entry in ("001", "013", "015", "027", "186"):
    assert entry + ".png" in page.links and "thumbs/" + entry + ".png" in page.images, entry
assert "186 Bo Selecta" in page.text and "after 200 frames of 1 Flower" in page.text
assert page.text.count("listens:") == 1 and page.text.index("27 Fireworks") < page.text.index("listens:") < page.text.index("186 Bo Selecta")
PYTHON
pass "the gallery's pictures, contact sheet and index page"
# The page as a browser shows it: text on a dark ground and the colourful thumbnails (a page whose pictures did
# not load is almost all grey).
if command -v chromium >/dev/null; then
    timeout 120 chromium --headless --no-sandbox --disable-gpu --user-data-dir="$WORK/browser" \
        --screenshot="$WORK/page.png" --window-size=1200,900 "file://$WORK/out/index.html" >browser.log 2>&1 ||
        fail "chromium could not show index.html: $(tail -n 3 browser.log)"
    [ "$(identify -format '%wx%h' page.png)" = "1200x900" ] || fail "no screenshot of the page"
    colours=$(convert page.png -format '%k' info:)
    saturation=$(convert page.png -colorspace HSL -channel G -separate +channel -format '%[fx:mean]' info:)
    [ "$colours" -gt 1000 ] && awk -v s="$saturation" 'BEGIN { exit !(s > 0.01) }' ||
        fail "the page looks blank in a browser: $colours colours, mean saturation $saturation"
    pass "the index page shows its thumbnails in a browser ($colours colours)"
else
    echo "skip: chromium is not installed, so the page is not shown in a browser"
fi
script -q -c "'$PLAYER' --gallery tty --only 1,13 --frames 30" /dev/null >tty.txt </dev/null
grep -q 'gallery: 2 of 2 entries' tty.txt || fail "no progress line on a terminal: $(cat tty.txt)"
pass "progress shows on a terminal only"
