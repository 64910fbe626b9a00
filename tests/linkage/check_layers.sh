#!/bin/sh
# Fails when a source file includes a header of a folder its own folder may not use: the table
# (layers.txt) names, for every folder, the folders below it. Each offending include is printed
# as "file:line: ..." with the rule it breaks.
# Usage: check_layers.sh TABLE ROOT      (ROOT holds src/, and tools/ and demo/ where present)
set -u
table=$1
root=$2
case $table in /*) ;; *) table=$PWD/$table ;; esac
cd "$root" || exit 2
[ -r "$table" ] || { echo "cannot read $table"; exit 2; }
# The folders of src/: only includes of the form "folder/..." are the layers' business.
src_folders=$(find src -mindepth 1 -maxdepth 1 -type d | sed 's#^src/##' | tr '\n' ' ')
files=$(find src tools demo -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | LC_ALL=C sort)
[ -n "$files" ] || { echo "no sources under $root"; exit 2; }
# shellcheck disable=SC2086
grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' /dev/null $files |
awk -v table="$table" -v folders="$src_folders" '
function stem(path) { sub(/\.[A-Za-z]+$/, "", path); return path }
# The folder (or part of a folder) a file belongs to, from its path below the root.
function unit_of_file(path,    rel, n, c) {
    rel = stem(path)
    if (rel ~ /^src\//) {
        rel = substr(rel, 5)
        if (rel in part) return part[rel]
        n = split(rel, c, "/")
        return c[1]                      # src/main.cpp is "main"
    }
    n = split(rel, c, "/")
    if (c[1] == "tools" && n > 2) return "tools/" c[2]
    return c[1]
}
BEGIN {
    nfolders = split(folders, f, " ")
    for (i = 1; i <= nfolders; ++i) srcfolder[f[i]] = 1
    while ((getline line < table) > 0) {
        ++lineno
        sub(/#.*/, "", line)
        if (line ~ /^[[:space:]]*$/) continue
        n = split(line, w, /[[:space:]]+/)
        if (w[1] == "") { for (i = 1; i < n; ++i) w[i] = w[i + 1]; --n }
        if (w[1] == "part" && w[3] == "=") {
            for (i = 4; i <= n; ++i) part[w[i]] = w[2]
            continue
        }
        if (w[1] !~ /:$/) { printf "%s:%d: neither a rule nor a part\n", table, lineno; bad = 1; continue }
        subj = substr(w[1], 1, length(w[1]) - 1)
        rule[subj] = ""
        for (i = 2; i <= n; ++i) { allow[subj, w[i]] = 1; rule[subj] = rule[subj] " " w[i] }
    }
    close(table)
    if (lineno == 0) { print "empty table " table; exit 2 }
}
{
    # file:line:text
    file = $0; sub(/:.*/, "", file)
    rest = substr($0, length(file) + 2)
    ln = rest; sub(/:.*/, "", ln)
    text = substr(rest, length(ln) + 2)
    target = text
    sub(/^[^<"]*[<"]/, "", target); sub(/[>"].*$/, "", target)
    if (text ~ /#[[:space:]]*include[[:space:]]*</) {
        if (target !~ /^(Q[A-Za-z]|qt|q[a-z]*\.h$)/) next
        to = "qt"
    } else {
        top = target; sub(/\/.*/, "", top)
        if (index(target, "/") == 0 || !(top in srcfolder)) next
        to = stem(target)
        to = (to in part) ? part[to] : top
    }
    from = unit_of_file(file)
    if (from == to) next
    if (!(from in rule)) {
        if (!(from in norule)) printf "%s: no rule for \"%s\" in the table\n", file, from
        norule[from] = 1; bad = 1; next
    }
    if ((from, to) in allow) next
    printf "%s:%s: %s includes \"%s\" (%s), which is not below it; rule \"%s:%s\"\n", \
        file, ln, from, target, to, from, rule[from]
    bad = 1
}
END { exit bad ? 1 : 0 }
'
