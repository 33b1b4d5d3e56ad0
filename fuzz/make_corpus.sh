#!/usr/bin/env bash
# Regenerates the seed corpus with the data tool: small sound files of each
# kind, the same files cut short, and a few hostile counts and lengths.
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
