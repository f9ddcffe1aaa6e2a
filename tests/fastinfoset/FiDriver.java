// The interoperability tests' driver of the Fast Infoset reference
// implementation (Debian's libfastinfoset-java). It runs the jobs of a job
// file, one per line, and writes each result to its output file:
//
//   decode IN.fi OUT     the infoset of a Fast Infoset document, as the
//                        reference decodes it
//   xml IN.xml OUT       the infoset of an XML text, as the JDK parses it
//   encode MODE IN.xml OUT.fi
//                        the XML text re-encoded by the reference, MODE
//                        choosing its options (see Serializer)
//   time IN.xml IN.fi RUNS OUT
//                        the reference's own speed, for the record: after
//                        as many warm-up runs (for the JIT), the mean time
//                        of decoding IN.fi into a DOM tree and with SAX
//                        events only, of encoding a DOM tree of IN.xml, and
//                        of parsing IN.xml into a DOM tree with the JDK
//
// An infoset is written as lines: "S {uri}local" for a start tag, then its
// attributes "A {uri}local=value" sorted by name, "T text" for each run of
// character data, "E" for an end tag; control characters are escaped as
// backslash-u and four hex digits. A job that fails writes "ERROR <message>" instead.

import com.sun.xml.fastinfoset.sax.SAXDocumentParser;
import com.sun.xml.fastinfoset.sax.SAXDocumentSerializer;
import java.io.BufferedReader;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.FileReader;
import java.io.InputStream;
import java.io.OutputStream;
import java.io.OutputStreamWriter;
import java.io.Writer;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.TreeMap;
import javax.xml.parsers.SAXParserFactory;
import org.jvnet.fastinfoset.EncodingAlgorithmIndexes;
import org.jvnet.fastinfoset.RestrictedAlphabet;
import org.jvnet.fastinfoset.sax.helpers.EncodingAlgorithmAttributesImpl;
import org.xml.sax.Attributes;
import org.xml.sax.ContentHandler;
import org.xml.sax.InputSource;
import org.xml.sax.XMLReader;
import org.xml.sax.ext.DefaultHandler2;
import org.xml.sax.helpers.NamespaceSupport;

public final class FiDriver {
  public static void main(String[] args) throws Exception {
    try (BufferedReader jobs = new BufferedReader(new FileReader(args[0]))) {
      for (String line; (line = jobs.readLine()) != null; ) {
        if (line.isEmpty()) continue;
        String[] job = line.split("\t");
        String out = job[job.length - 1];
        try {
          switch (job[0]) {
            case "decode": writeText(out, decode(job[1])); break;
            case "xml": writeText(out, parseXml(job[1])); break;
            case "encode": encode(job[1], job[2], out); break;
            case "time": writeText(out, time(job[1], job[2], Integer.parseInt(job[3]))); break;
            default: throw new IllegalArgumentException("unknown job " + job[0]);
          }
        } catch (Exception e) {
          writeText(out, "ERROR " + e);
        }
      }
    }
  }

  static void writeText(String path, String text) throws Exception {
    try (Writer w = new OutputStreamWriter(new FileOutputStream(path), StandardCharsets.UTF_8)) {
      w.write(text);
    }
  }

  // Collects the infoset lines from SAX events. An xsi:type value, a
  // qualified name, is written as {uri}local with the binding in scope, so
  // that documents whose writers chose other prefixes compare equal.
  static final class Infoset extends DefaultHandler2 {
    static final String XSI = "http://www.w3.org/2001/XMLSchema-instance";
    final StringBuilder out = new StringBuilder();
    final StringBuilder text = new StringBuilder();
    final NamespaceSupport namespaces = new NamespaceSupport();
    boolean pushed;

    @Override public void startPrefixMapping(String prefix, String uri) {
      if (!pushed) namespaces.pushContext();
      pushed = true;
      namespaces.declarePrefix(prefix, uri);
    }

    String value(String uri, String local, String value) {
      if (!uri.equals(XSI) || !local.equals("type")) return value;
      int colon = value.indexOf(':');
      String prefix = colon < 0 ? "" : value.substring(0, colon);
      String bound = namespaces.getURI(prefix);
      return "{" + (bound == null ? "?" : bound) + "}" + value.substring(colon + 1);
    }

    void flushText() {
      if (text.length() == 0) return;
      out.append("T ").append(escape(text.toString())).append('\n');
      text.setLength(0);
    }

    @Override public void startElement(String uri, String local, String qName, Attributes a) {
      flushText();
      if (!pushed) namespaces.pushContext();
      pushed = false;
      out.append("S {").append(uri).append('}').append(local).append('\n');
      TreeMap<String, String> sorted = new TreeMap<>();
      for (int i = 0; i < a.getLength(); ++i)
        sorted.put("{" + a.getURI(i) + "}" + a.getLocalName(i),
                   value(a.getURI(i), a.getLocalName(i), a.getValue(i)));
      for (var e : sorted.entrySet())
        out.append("A ").append(e.getKey()).append('=').append(escape(e.getValue())).append('\n');
    }

    @Override public void endElement(String uri, String local, String qName) {
      flushText();
      out.append("E\n");
      namespaces.popContext();
    }

    @Override public void characters(char[] ch, int start, int length) {
      text.append(ch, start, length);
    }
  }

  static String escape(String s) {
    StringBuilder b = new StringBuilder();
    for (char c : s.toCharArray()) {
      if (c < 0x20 || c == 0x5C) b.append(String.format("%cu%04X", (char) 0x5C, (int) c));
      else b.append(c);
    }
    return b.toString();
  }

  static String decode(String path) throws Exception {
    Infoset infoset = new Infoset();
    SAXDocumentParser parser = new SAXDocumentParser();
    parser.setContentHandler(infoset);
    parser.setLexicalHandler(infoset);
    try (InputStream in = new FileInputStream(path)) {
      parser.parse(in);
    }
    return infoset.out.toString();
  }

  interface Run { void run() throws Exception; }

  // Milliseconds per run, after as many runs to warm up.
  static double millis(int runs, Run r) throws Exception {
    for (int i = 0; i < runs; ++i) r.run();
    long start = System.nanoTime();
    for (int i = 0; i < runs; ++i) r.run();
    return (System.nanoTime() - start) / 1e6 / runs;
  }

  static String time(String xmlPath, String fiPath, int runs) throws Exception {
    byte[] fi = java.nio.file.Files.readAllBytes(java.nio.file.Path.of(fiPath));
    byte[] xml = java.nio.file.Files.readAllBytes(java.nio.file.Path.of(xmlPath));
    javax.xml.parsers.DocumentBuilderFactory f = javax.xml.parsers.DocumentBuilderFactory.newInstance();
    f.setNamespaceAware(true);
    javax.xml.parsers.DocumentBuilder builder = f.newDocumentBuilder();
    org.w3c.dom.Document tree = builder.parse(new java.io.ByteArrayInputStream(xml));
    double domDecode = millis(runs, () -> {
      org.w3c.dom.Document d = builder.newDocument();
      new com.sun.xml.fastinfoset.dom.DOMDocumentParser().parse(d, new java.io.ByteArrayInputStream(fi));
    });
    double saxDecode = millis(runs, () -> {
      SAXDocumentParser p = new SAXDocumentParser();
      p.setContentHandler(new DefaultHandler2());
      p.parse(new java.io.ByteArrayInputStream(fi));
    });
    final int[] size = new int[1];
    double domEncode = millis(runs, () -> {
      java.io.ByteArrayOutputStream out = new java.io.ByteArrayOutputStream(fi.length);
      com.sun.xml.fastinfoset.dom.DOMDocumentSerializer s = new com.sun.xml.fastinfoset.dom.DOMDocumentSerializer();
      s.setOutputStream(out);
      s.serialize(tree);
      size[0] = out.size();
    });
    double xmlDom = millis(runs, () -> builder.parse(new java.io.ByteArrayInputStream(xml)));
    return String.format("decode-dom %.1f ms%ndecode-sax %.1f ms%nencode-dom %.1f ms (%d bytes)%n"
                         + "jdk-xml-dom %.1f ms%n", domDecode, saxDecode, domEncode, size[0], xmlDom);
  }

  static XMLReader xmlReader() throws Exception {
    SAXParserFactory factory = SAXParserFactory.newInstance();
    factory.setNamespaceAware(true);
    return factory.newSAXParser().getXMLReader();
  }

  static String parseXml(String path) throws Exception {
    Infoset infoset = new Infoset();
    XMLReader reader = xmlReader();
    reader.setContentHandler(infoset);
    reader.parse(new InputSource(path));
    return infoset.out.toString();
  }

  // MODE: "default" (the reference's own choices), "index-all" (every
  // value and chunk indexed, whatever its length), "index-none" (no value
  // or chunk indexed), "utf16" (text and values as UTF-16), "typed" (the
  // built-in encoding algorithms and restricted alphabets, see Typed).
  static void encode(String mode, String xmlPath, String fiPath) throws Exception {
    SAXDocumentSerializer serializer = new SAXDocumentSerializer();
    switch (mode) {
      case "default": case "typed": break;
      case "index-all":
        serializer.setMinAttributeValueSize(0);
        serializer.setMaxAttributeValueSize(Integer.MAX_VALUE);
        serializer.setAttributeValueMapMemoryLimit(Integer.MAX_VALUE);
        serializer.setMinCharacterContentChunkSize(0);
        serializer.setMaxCharacterContentChunkSize(Integer.MAX_VALUE);
        serializer.setCharacterContentChunkMapMemoryLimit(Integer.MAX_VALUE);
        break;
      case "index-none":
        serializer.setMaxAttributeValueSize(0);
        serializer.setMaxCharacterContentChunkSize(0);
        break;
      case "utf16":
        serializer.setCharacterEncodingScheme("UTF-16BE");
        break;
      default: throw new IllegalArgumentException("unknown mode " + mode);
    }
    try (OutputStream out = new FileOutputStream(fiPath)) {
      serializer.setOutputStream(out);
      XMLReader reader = xmlReader();
      ContentHandler handler = mode.equals("typed") ? new Typed(serializer) : serializer;
      reader.setContentHandler(handler);
      reader.setProperty("http://xml.org/sax/properties/lexical-handler", serializer);
      reader.parse(new InputSource(xmlPath));
    }
  }

  // Passes the events on, except that the text of elements and the values
  // of attributes named after a type go through that type's encoding
  // algorithm or restricted alphabet: ints, shorts, longs, booleans,
  // floats, doubles (space-separated items), uuids (32 hexadecimal digits
  // each), hex and base64 (octets), numeric and datetime (the alphabets),
  // cdata (a CDATA section).
  static final class Typed extends DefaultHandler2 {
    final SAXDocumentSerializer s;
    final StringBuilder text = new StringBuilder();
    String typed;

    Typed(SAXDocumentSerializer serializer) { s = serializer; }

    @Override public void startDocument() throws org.xml.sax.SAXException { s.startDocument(); }
    @Override public void endDocument() throws org.xml.sax.SAXException { s.endDocument(); }
    @Override public void startPrefixMapping(String p, String u) throws org.xml.sax.SAXException {
      s.startPrefixMapping(p, u);
    }

    @Override public void startElement(String uri, String local, String qName, Attributes a)
        throws org.xml.sax.SAXException {
      EncodingAlgorithmAttributesImpl attributes = new EncodingAlgorithmAttributesImpl();
      for (int i = 0; i < a.getLength(); ++i) {
        String name = a.getLocalName(i), value = a.getValue(i);
        if (name.equals("numeric") || name.equals("datetime")) {
          attributes.addAttribute(a.getURI(i), name, a.getQName(i), "CDATA", value, false,
              name.equals("numeric") ? RestrictedAlphabet.NUMERIC_CHARACTERS
                                     : RestrictedAlphabet.DATE_TIME_CHARACTERS);
        } else if (algorithm(name) >= 0 && !value.isEmpty()) {
          attributes.addAttributeWithBuiltInAlgorithmData(a.getURI(i), name, a.getQName(i),
              algorithm(name), data(name, value));
        } else {
          attributes.addAttribute(a.getURI(i), name, a.getQName(i), a.getType(i), value);
        }
      }
      s.startElement(uri, local, qName, attributes);
      typed = algorithm(local) >= 0 || local.equals("numeric") || local.equals("datetime")
              || local.equals("cdata") ? local : null;
      text.setLength(0);
    }

    @Override public void characters(char[] ch, int start, int length)
        throws org.xml.sax.SAXException {
      if (typed != null) text.append(ch, start, length);
      else s.characters(ch, start, length);
    }

    @Override public void endElement(String uri, String local, String qName)
        throws org.xml.sax.SAXException {
      if (typed != null && text.length() > 0) {
        char[] c = text.toString().toCharArray();
        switch (typed) {
          case "numeric": s.numericCharacters(c, 0, c.length); break;
          case "datetime": s.dateTimeCharacters(c, 0, c.length); break;
          case "cdata":
            s.startCDATA();
            s.characters(c, 0, c.length);
            s.endCDATA();
            break;
          case "hex": case "base64": {
            // Raw octets: the reference writes half of a byte[] given to
            // object() with the hexadecimal algorithm.
            byte[] b = (byte[]) data(typed, text.toString());
            s.octets(null, algorithm(typed), b, 0, b.length);
            break;
          }
          default: s.object(null, algorithm(typed), data(typed, text.toString()));
        }
      }
      typed = null;
      s.endElement(uri, local, qName);
    }

    static int algorithm(String name) {
      switch (name) {
        case "hex": return EncodingAlgorithmIndexes.HEXADECIMAL;
        case "base64": return EncodingAlgorithmIndexes.BASE64;
        case "shorts": return EncodingAlgorithmIndexes.SHORT;
        case "ints": return EncodingAlgorithmIndexes.INT;
        case "longs": return EncodingAlgorithmIndexes.LONG;
        case "booleans": return EncodingAlgorithmIndexes.BOOLEAN;
        case "floats": return EncodingAlgorithmIndexes.FLOAT;
        case "doubles": return EncodingAlgorithmIndexes.DOUBLE;
        case "uuids": return EncodingAlgorithmIndexes.UUID;
        default: return -1;
      }
    }

    static double number(String t) {
      switch (t) {
        case "INF": return Double.POSITIVE_INFINITY;
        case "-INF": return Double.NEGATIVE_INFINITY;
        case "NaN": return Double.NaN;
        default: return Double.parseDouble(t);
      }
    }

    static Object data(String type, String value) {
      String[] items = value.trim().split(" ");
      int n = items.length;
      switch (type) {
        case "hex": case "base64": {
          byte[] b = type.equals("hex") ? java.util.HexFormat.of().parseHex(value)
                                        : java.util.Base64.getDecoder().decode(value);
          return b;
        }
        case "shorts": { short[] v = new short[n]; for (int i = 0; i < n; ++i) v[i] = Short.parseShort(items[i]); return v; }
        case "ints": { int[] v = new int[n]; for (int i = 0; i < n; ++i) v[i] = Integer.parseInt(items[i]); return v; }
        case "longs": { long[] v = new long[n]; for (int i = 0; i < n; ++i) v[i] = Long.parseLong(items[i]); return v; }
        case "booleans": { boolean[] v = new boolean[n]; for (int i = 0; i < n; ++i) v[i] = items[i].equals("true"); return v; }
        case "floats": { float[] v = new float[n]; for (int i = 0; i < n; ++i) v[i] = (float) number(items[i]); return v; }
        case "doubles": { double[] v = new double[n]; for (int i = 0; i < n; ++i) v[i] = number(items[i]); return v; }
        case "uuids": {
          long[] v = new long[2 * n];
          for (int i = 0; i < n; ++i) {
            v[2 * i] = Long.parseUnsignedLong(items[i].substring(0, 16), 16);
            v[2 * i + 1] = Long.parseUnsignedLong(items[i].substring(16), 16);
          }
          return v;
        }
        default: throw new IllegalArgumentException(type);
      }
    }
  }
}
