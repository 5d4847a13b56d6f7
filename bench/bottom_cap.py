#!/usr/bin/env python3
# Turns the console text or message file of a kernel that wrote every
# "substance leaving bottom segment" warning into what the kernel writes
# since that warning is limited: the first 20 warnings stay, after them come
# an empty line and one line saying that the others are counted, not written,
# and every later warning goes.  Used to derive bench/cases/seep500x50's
# checksums of console.txt and message.out from the outputs that the literal
# kernel wrote (literal.sha256 holds that kernel's checksums).
#
#   python3 bench/bottom_cap.py console.txt > capped.txt
import sys

LIMIT = 20
lines = open(sys.argv[1], encoding="latin-1").read().split("\n")
out = []
n = 0
i = 0
while i < len(lines):
    block = lines[i:i + 5]
    if (block[:4] == ["", "", " Warning: ", " substance leaving bottom segment"] and len(block) == 5
            and block[4].startswith(" of sediment at ")):
        n += 1
        if n <= LIMIT:
            out.extend(block)
        elif n == LIMIT + 1:
            out.extend(["", " Further warnings of substance leaving bottom segment are counted, not written"])
        i += 5
        continue
    out.append(lines[i])
    i += 1
sys.stdout.write("\n".join(out))
