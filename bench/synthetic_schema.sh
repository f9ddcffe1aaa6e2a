#!/usr/bin/env bash
# Writes a synthetic schema of COUNT complex types (default 2000) to standard
# output, for timing vxbindc and the compilation of what it generates
# (bench/generated_figures.sh). Every type has a sequence of a string, an
# optional int, a repeated decimal, an optional date, a choice between an
# enumeration and a boolean, and an optional reference to the next type
# (the chain stays within the schema); attributes with a default, a fixed
# value and a pattern; 50 enumerations are shared; every tenth type has a
# global element. With PART/PARTS (e.g. 2 3) only the types of that share
# are written, under their own global numbers, so that the shares can be
# compiled as several schemas of one namespace.
#
#   bench/synthetic_schema.sh [COUNT [PART PARTS]] > synthetic.xsd
set -euo pipefail
count=${1:-2000}
part=${2:-1}
parts=${3:-1}
first=$(( (part - 1) * count / parts ))
last=$(( part * count / parts - 1 ))

echo '<?xml version="1.0" encoding="UTF-8"?>'
echo "<!-- Synthetic: types $first to $last of $count. -->"
echo "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\""
echo "           xmlns=\"urn:vxbind:synthetic$part\" targetNamespace=\"urn:vxbind:synthetic$part\""
echo "           elementFormDefault=\"qualified\">"
for ((k = 0; k < 50; ++k)); do
  printf '  <xs:simpleType name="Kind%d_%d">\n    <xs:restriction base="xs:string">\n' "$part" "$k"
  printf '      <xs:enumeration value="alpha%d"/>\n      <xs:enumeration value="beta%d"/>\n' "$k" "$k"
  printf '      <xs:enumeration value="gamma-%d"/>\n    </xs:restriction>\n  </xs:simpleType>\n' "$k"
done
for ((i = first; i <= last; ++i)); do
  if ((i % 10 == 0)); then printf '  <xs:element name="record%d" type="Record%d"/>\n' "$i" "$i"; fi
  printf '  <xs:complexType name="Record%d">\n    <xs:sequence>\n' "$i"
  printf '      <xs:element name="name" type="xs:string"/>\n'
  printf '      <xs:element name="count%d" type="xs:int" minOccurs="0"/>\n' "$i"
  printf '      <xs:element name="price" type="xs:decimal" maxOccurs="unbounded"/>\n'
  printf '      <xs:element name="when" type="xs:date" minOccurs="0"/>\n'
  printf '      <xs:choice>\n        <xs:element name="kind" type="Kind%d_%d"/>\n' "$part" $((i % 50))
  printf '        <xs:element name="flag" type="xs:boolean"/>\n      </xs:choice>\n'
  if ((i < last)); then printf '      <xs:element name="next" type="Record%d" minOccurs="0"/>\n' $((i + 1)); fi
  printf '    </xs:sequence>\n'
  printf '    <xs:attribute name="id" type="xs:string" use="required"/>\n'
  printf '    <xs:attribute name="unit" type="xs:string" default="piece%d"/>\n' "$i"
  printf '    <xs:attribute name="version" type="xs:int" fixed="%d"/>\n' $((i % 7))
  printf '    <xs:attribute name="code">\n      <xs:simpleType>\n'
  printf '        <xs:restriction base="xs:string"><xs:pattern value="[A-Z]{2}[0-9]{%d}"/></xs:restriction>\n' $((1 + i % 4))
  printf '      </xs:simpleType>\n    </xs:attribute>\n  </xs:complexType>\n'
done
echo '</xs:schema>'
