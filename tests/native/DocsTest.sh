#!/bin/sh
# The README and the pages in docs/ are read from a fresh clone: every relative
# link must reach a file of the tree (and its #anchor a heading of that page),
# and every command of a fenced sh or bat block must start with a program of
# the tree or one a reader's machine has.
# Usage: DocsTest.sh SOURCE_DIR
set -u
root=$1
cd "$root" || exit 1
fail() { echo "FAILED: $*"; }

# Programs the pages run that the tree does not hold: the shell's own, the
# system's, and the installer that the build makes.
known="export rem ctest msiexec osslsigncode wine ZarvoSetup.exe"

# Prints H<tab>anchor for each heading, L<tab>line<tab>target for each link
# outside code, C<tab>line<tab>program for each command line of a fenced sh or
# bat block (comments and continued lines aside).
scan() {
    LC_ALL=C awk '
    /^[ \t]*```/ {
        if (fence) { fence = 0 } else { fence = 1; lang = $0; sub(/^[ \t]*```/, "", lang) }
        continued = 0; next
    }
    fence {
        if (lang != "sh" && lang != "bat") next
        line = $0
        if (!continued && line ~ /^[^ \t#]/ && line !~ /^(rem|REM)( |$)/) {
            split(line, word, /[ \t]+/); print "C\t" NR "\t" word[1]
        }
        continued = (lang == "sh" && line ~ /\\$/) || (lang == "bat" && line ~ /\^$/)
        next
    }
    /^#+ / {
        h = $0; sub(/^#+ +/, "", h); h = tolower(h)
        gsub(/[][!"#$%&'\''()*+,.\/:;<=>?@\\^`{|}~]/, "", h); gsub(/ /, "-", h)
        print "H\t" h
    }
    {
        text = $0; gsub(/`[^`]*`/, "", text)
        while (match(text, /\]\([^)]*\)/)) {
            print "L\t" NR "\t" substr(text, RSTART + 2, RLENGTH - 3)
            text = substr(text, RSTART + RLENGTH)
        }
    }' "$1"
}

check() {
    for page in README.md docs/*.md; do
        dir=$(dirname "$page")
        scan "$page" | while IFS='	' read -r kind line item; do
            case $kind in
            L)
                case $item in *://* | mailto:*) continue ;; esac
                path=${item%%#*} anchor=
                case $item in *'#'*) anchor=${item#*#} ;; esac
                if [ -z "$path" ]; then target=$page; else target=$dir/$path; fi
                if [ ! -e "$target" ]; then
                    fail "$page:$line: $item: no such file"
                elif [ -n "$anchor" ] && ! scan "$target" | grep -qx "H	$anchor"; then
                    fail "$page:$line: $item: no such heading"
                fi
                ;;
            C)
                case " $known " in *" $item "*) continue ;; esac
                case $item in
                */*) [ -f "$item" ] && [ -x "$item" ] || fail "$page:$line: $item: no program of the tree" ;;
                *) fail "$page:$line: $item: neither in the tree nor a known program" ;;
                esac
                ;;
            esac
        done
    done
}
# The loops run in pipes' subshells: a failure is told by its line.
failures=$(check)
[ -z "$failures" ] || { echo "$failures" >&2; exit 1; }
