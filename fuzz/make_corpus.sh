#!/usr/bin/env bash
# Regenerates the seed corpus with the data tool: small sound files of each
# kind, the same files cut short, and a few hostile counts and lengths; then
# recovery journals made of such records: whole, torn, with a save mark.
# usage: fuzz/make_corpus.sh path/to/vantorel-data
set -euo pipefail
tool="$1"
out="$(cd "$(dirname "$0")" && pwd)/corpus"
mkdir -p "$out"
cd "$out"

build() { "$tool" build --kind "$1" "$2"; }

echo '[]' | build policies policies-empty
echo '[{"info":{"policyNo":"A1","sumInsured":50,"effectiveDate":"2004/5-29"},"holder":{"name":"张三","sex":1,"maritalStatus":-1},
  "insured":{"name":"李四","height":170,"education":"本科"},
  "beneficiaries":[{"name":"王五","share":60},{"name":"赵六","share":40}],"riders":[{"policyNo":"R1","annualPremium":120.5}]},
  {"info":{"policyNo":"A2","remarks":"'"$(printf 'x%.0s' $(seq 300))"'"}}]' | build policies policies-two
echo '[{"person":{"name":"张三","sex":1,"maritalStatus":1,"birthDate":"1977/1-1","height":170,"education":"本科"}},{"fax":"010-1","hobby":"go"}]' \
  | build clients clients-two
echo '[{"staffNo":"007","department":"销售部","level":"A","joinDate":"2001/2-3","person":{"name":"王五","weight":60.5}}]' \
  | build members members-one
echo '[{"date":20040529,"text":"ab"},{"date":20041231,"text":"新年"}]' | build schedule schedule-two

# Cut short inside a value.
head -c 50 policies-two > policies-cut
head -c 40 clients-two > clients-cut
head -c 13 schedule-two > schedule-cut
# Hostile counts and lengths.
printf '\xff\xff\xff\xff' > count-minus-one
printf '\x01\x00\x00\x00\x00\x00\x00\x10\xb5\x1c\x73\x41\xff\xff\xff\xff\xff\xff\xff' > length-ffffffff
printf '\x01\x00\x00\x00\x00\x00\x00\x10\xb5\x1c\x73\x41\xff\xfe\xff' > length-fffe
python3 - <<'PY'
data = open("policies-two", "rb").read()
# The first policy's beneficiary count (after the insured's education) is 2: make it 11.
i = data.index(b"\x04\xb1\xbe\xbf\xc6\x02\x00") + 5
open("policies-count-11", "wb").write(data[:i] + b"\x0b" + data[i + 1:])
PY

# Recovery journals: one record of each kind, from files of one record each.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
echo '[{"info":{"policyNo":"J1"},"beneficiaries":[{"name":"b","share":100}],"riders":[{"policyNo":"R1"}]}]' \
  | build policies "$tmp/p"
echo '[{"person":{"name":"张三","idNumber":"1"}}]' | build clients "$tmp/c"
cp members-one "$tmp/m"
echo '[{"date":20040529,"text":"ab"}]' | build schedule "$tmp/s"
TMP="$tmp" python3 - <<'PY'
import os, struct, zlib
tmp = os.environ["TMP"]
rec = [open(os.path.join(tmp, n), "rb").read()[4:] for n in "pcms"]
# Each data file missing, no records: what a first run begins against.
base = struct.pack("<BBQqI", 1, 0, 0, 0, 0)
head = b"VANTJRNL" + struct.pack("<I", 1) + base * 4
head += struct.pack("<I", zlib.crc32(head))
def entry(coll, kind, index, payload=b""):
    body = struct.pack("<BBi", coll, kind, index) + payload
    length = struct.pack("<I", len(body))
    return length + struct.pack("<I", zlib.crc32(length + body)) + body
whole = head
for c in range(4):
    whole += entry(c, 1, 0, rec[c]) + entry(c, 1, 1, rec[c]) + entry(c, 2, 1, rec[c]) + entry(c, 3, 0)
whole += entry(0, 4, 0) + entry(3, 5, 0, base) + entry(3, 1, 1, rec[3])
open("journal-all-kinds", "wb").write(whole)
open("journal-torn", "wb").write(whole[:-5])
open("journal-misfit", "wb").write(head + entry(1, 2, 7, rec[1]))
open("journal-bad-header", "wb").write(head[:20] + b"\xff" + head[21:])
PY
