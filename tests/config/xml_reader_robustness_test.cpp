// Damaged and hostile input for trel_xml_reader: truncated files, random and
// mutated bytes, embedded NULs, very deep nesting and huge tokens must all be
// survived, with every result that is handed out still within its buffer.
#include <map>
#include <random>

#include "config/xml_test_support.h"
#include "support/text_utils.h"

namespace {

class xml_reader_robustness_test : public xml_test {
protected:
  // A document in the configuration layout whose leaves all have distinct
  // names, so any leaf read back can be checked against what was written.
  static std::vector<xml_test_node> sample_document() {
    auto leaf = [](const std::string &tag, const std::string &value) {
      xml_test_node n;
      n.tag = tag;
      n.value = value;
      return n;
    };
    auto num = [](const std::string &tag, int v) {
      xml_test_node n;
      n.tag = tag;
      n.number = v;
      return n;
    };
    xml_test_node popup;
    popup.tag = "list_popup";
    popup.children = {leaf("popup_name", "Who <list> & co"), num("num_x", 120), num("num_y", -40)};
    xml_test_node unknown;
    unknown.tag = "skip_later_version";
    unknown.children = {leaf("what", "a&b"), num("num_z", 3)};
    xml_test_node config;
    config.tag = "list_config";
    config.children = {leaf("name", "Bob"),
                       num("num_font_size", 12),
                       leaf("font", "DejaVu Sans"),
                       unknown,
                       popup,
                       leaf("theme", "<dark> & \"light\""),
                       num("num_docked", 1)};
    return {config};
  }

  static std::string document_text(const std::vector<xml_test_node> &nodes,
                                   const std::string &directory) {
    const std::string file = directory + "/sample.xml";
    FILE *f = fopen(file.c_str(), "wb");
    if (!f)
      return std::string();
    {
      trel_xml_file_writer writer(f);
      writer.write_header();
      xml_test_write_nodes(writer, nodes);
    }
    fclose(f);
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

  // Reads input the way the loaders do (declaration line, then tags) until the
  // input is used up, and returns the leaves that were read.
  std::vector<xml_test_node> load_all(const std::string &input) {
    trel_xml_file_reader &r = reader_on(input);
    FILE *f = reader_file;
    std::vector<xml_test_node> nodes;
    if (!f)
      return nodes;
    char line[10000];
    if (fget_line(f, line, sizeof line) > 0)
      r.check_xml_header_string(line);
    // A top-level loop ends at a stray closing tag as well as at the end, so
    // go on until the stream is really used up.
    while (!feof(f))
      xml_test_load_children(r, nodes, 0, 16, 200);
    return nodes;
  }

  static void collect_leaves(const std::vector<xml_test_node> &nodes,
                             std::vector<const xml_test_node *> &out) {
    for (const xml_test_node &n : nodes) {
      if (n.children.empty() && n.tag.rfind("list", 0) != 0)
        out.push_back(&n);
      collect_leaves(n.children, out);
    }
  }
};

// A buffer handed to the reader with guard bytes behind its capacity.
struct guarded_buffer {
  static constexpr char guard = 0x5a;
  static constexpr std::size_t guard_size = 32;
  std::vector<char> bytes;
  int capacity;

  explicit guarded_buffer(int capacity)
      : bytes(static_cast<std::size_t>(capacity) + guard_size, guard), capacity(capacity) {}

  bool guards_intact() const {
    for (std::size_t i = static_cast<std::size_t>(capacity); i < bytes.size(); i++)
      if (bytes[i] != guard)
        return false;
    return true;
  }
  // A result the reader accepted: terminated inside the capacity, printable.
  bool holds_clean_text() const {
    for (int i = 0; i < capacity; i++) {
      const unsigned char c = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
      if (c == 0)
        return true;
      if (c < 32 || c > 126)
        return false;
    }
    return false;
  }
};

// Drives the reader with random operations and buffer sizes, checking every
// result it accepts. Nesting of the walk itself is bounded.
void random_walk(trel_xml_reader &r, std::mt19937 &rng, int depth) {
  std::uniform_int_distribution<int> size_pick(1, 48);
  std::uniform_int_distribution<int> action_pick(0, 3);
  for (;;) {
    guarded_buffer tag(size_pick(rng));
    const int got_tag = r.read_tag(tag.bytes.data(), tag.capacity);
    ASSERT_TRUE(tag.guards_intact()) << "read_tag wrote past capacity " << tag.capacity;
    if (!got_tag)
      return;
    ASSERT_TRUE(tag.holds_clean_text()) << "read_tag accepted an unclean tag";
    const int action = depth >= 16 ? 3 : action_pick(rng);
    if (action == 0) {
      random_walk(r, rng, depth + 1);
      if (::testing::Test::HasFatalFailure())
        return;
    } else if (action == 1) {
      guarded_buffer value(size_pick(rng));
      const int got = r.read_data(value.bytes.data(), value.capacity);
      ASSERT_TRUE(value.guards_intact()) << "read_data wrote past capacity " << value.capacity;
      if (got) {
        ASSERT_TRUE(value.holds_clean_text()) << "read_data accepted an unclean value";
      }
    } else if (action == 2) {
      int number = 0;
      r.read_data(&number);
    } else {
      r.skip_data();
    }
  }
}

// Runs one input through the header check and a random walk to its end.
void exercise(trel_xml_file_reader &r, FILE *f, std::mt19937 &rng) {
  char line[200];
  if (fget_line(f, line, sizeof line) > 0)
    r.check_xml_header_string(line);
  while (!feof(f) && !::testing::Test::HasFatalFailure())
    random_walk(r, rng, 0);
}

TEST_F(xml_reader_robustness_test, every_truncation_of_a_file_yields_only_whole_values) {
  const std::vector<xml_test_node> document = sample_document();
  const std::string text = document_text(document, directory);
  ASSERT_GT(text.size(), 200u);

  std::map<std::string, const xml_test_node *> original;
  std::vector<const xml_test_node *> written_leaves;
  collect_leaves(document, written_leaves);
  for (const xml_test_node *n : written_leaves)
    original[n->tag] = n;

  for (std::size_t length = 0; length <= text.size(); length++) {
    const std::vector<xml_test_node> read = load_all(text.substr(0, length));
    std::vector<const xml_test_node *> leaves;
    collect_leaves(read, leaves);
    for (const xml_test_node *n : leaves) {
      auto it = original.find(n->tag);
      ASSERT_NE(it, original.end()) << "cut at " << length << " produced tag '" << n->tag << "'";
      EXPECT_EQ(n->value, it->second->value) << "cut at " << length << ", tag " << n->tag;
      EXPECT_EQ(n->number, it->second->number) << "cut at " << length << ", tag " << n->tag;
    }
    if (length == text.size()) {
      std::vector<xml_test_node> expected = document;
      // The loader skips the element it does not know.
      expected[0].children.erase(expected[0].children.begin() + 3);
      EXPECT_EQ(read, expected) << "the whole file reads back completely";
    }
  }
}

TEST_F(xml_reader_robustness_test, random_and_mutated_inputs_are_survived) {
  const std::string valid = document_text(sample_document(), directory);
  ASSERT_FALSE(valid.empty());
  const std::vector<std::string> tokens = {"<",
                                           ">",
                                           "</",
                                           "/",
                                           "&",
                                           "&lt;",
                                           "&amp;",
                                           "&gt;",
                                           "!",
                                           "<!--",
                                           "-->",
                                           "list",
                                           "num",
                                           "skip",
                                           "a",
                                           "b",
                                           "-",
                                           "7",
                                           "12",
                                           " ",
                                           "\n",
                                           "\t",
                                           "\r",
                                           "\x80",
                                           "\xff",
                                           "<?xml",
                                           "version=\"1\"",
                                           "encoding=\"x\"",
                                           "?>",
                                           "\"",
                                           "<list>",
                                           "</list>",
                                           "<num>",
                                           "</num>",
                                           "<skip>",
                                           "</skip>",
                                           "<a>",
                                           "</a>",
                                           std::string(1, '\0')};
  std::mt19937 rng(20240611u);
  std::uniform_int_distribution<std::size_t> token_pick(0, tokens.size() - 1);
  std::uniform_int_distribution<int> count_pick(0, 200);
  std::uniform_int_distribution<int> byte_pick(0, 255);

  for (int round = 0; round < 3000; round++) {
    std::string input;
    if (round % 3 == 2) {
      // A valid file with a few random edits: the damage a crash or a bad
      // disk leaves behind.
      input = valid;
      const int edits = 1 + count_pick(rng) % 8;
      for (int e = 0; e < edits && !input.empty(); e++) {
        std::uniform_int_distribution<std::size_t> at_pick(0, input.size() - 1);
        const std::size_t at = at_pick(rng);
        switch (count_pick(rng) % 4) {
        case 0:
          input[at] = static_cast<char>(byte_pick(rng));
          break;
        case 1:
          input.insert(at, tokens[token_pick(rng)]);
          break;
        case 2:
          input.erase(at, static_cast<std::size_t>(count_pick(rng) % 20));
          break;
        default:
          input.insert(at, input.substr(at, static_cast<std::size_t>(count_pick(rng))));
        }
      }
    } else {
      const int count = count_pick(rng);
      for (int t = 0; t < count; t++)
        input += round % 3 == 0 ? tokens[token_pick(rng)]
                                : std::string(1, static_cast<char>(byte_pick(rng)));
    }
    trel_xml_file_reader &r = reader_on(input);
    exercise(r, reader_file, rng);
    ASSERT_FALSE(HasFatalFailure()) << "round " << round << ", input: " << input;
  }
}

TEST_F(xml_reader_robustness_test, embedded_nul_bytes_are_refused_and_reading_goes_on) {
  const std::string nul(1, '\0');
  const std::vector<xml_test_node> read =
      load_all("<?xml version=\"1.0\" encoding=\"x\"?>\n<list>\n<v>x" + nul + "y</v>\n<a" + nul +
               "b>1</a" + nul + "b>\n<w>ok</w>\n<num>5</num></list>\n<after>done</after>\n");
  std::vector<const xml_test_node *> leaves;
  collect_leaves(read, leaves);
  std::map<std::string, std::string> values;
  for (const xml_test_node *n : leaves)
    values[n->tag] = n->value;
  EXPECT_EQ(values.count("v"), 0u) << "the value holding a NUL is refused";
  EXPECT_EQ(values["after"], "done") << "elements after the damage are still read";
  for (const auto &kv : values)
    EXPECT_EQ(kv.first.find('\0'), std::string::npos);
}

TEST_F(xml_reader_robustness_test, very_deep_nesting_is_skipped_without_recursion) {
  const int levels = 100000;
  std::string input;
  for (int i = 0; i < levels; i++)
    input += "<list>";
  input += "<num>7</num>";
  for (int i = 0; i < levels; i++)
    input += "</list>";
  input += "<num_after>8</num_after>";
  trel_xml_file_reader &r = reader_on(input);
  std::vector<xml_test_node> read;
  xml_test_load_children(r, read, 0, 64);
  xml_test_load_children(r, read, 0, 64);
  ASSERT_EQ(read.size(), 2u);
  int levels_read = 1;
  for (const xml_test_node *n = &read[0]; !n->children.empty(); n = &n->children[0])
    levels_read++;
  EXPECT_EQ(levels_read, 64) << "the loader walked 64 levels and skipped the rest";
  EXPECT_EQ(read[1].tag, "num_after");
  EXPECT_EQ(read[1].number, 8);
  EXPECT_EQ(r.get_depth(), 0u);
  EXPECT_EQ(log(), "");
}

TEST_F(xml_reader_robustness_test, an_unterminated_million_levels_are_reported_and_freed) {
  std::string input;
  for (int i = 0; i < 1000000; i++)
    input += "<a>";
  trel_xml_file_reader &r = reader_on(input);
  char tag[16];
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_EQ(r.skip_data(), 0);
  EXPECT_EQ(r.get_depth(), 1000000u);
  EXPECT_EQ(log(), "Warning in trel_xml_reader::skip_data() - unable to read chunk?\n");
  close_reader(); // frees a million open entries
}

TEST_F(xml_reader_robustness_test, huge_tokens_are_cut_or_reported) {
  const std::string huge(4 * 1024 * 1024, 'h');
  char tag[32];
  char value[32];
  {
    trel_xml_file_reader &r = reader_on("<v>" + huge);
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    EXPECT_EQ(r.read_data(value, sizeof value), 0);
    EXPECT_EQ(log_count("got EOF before trailing bracket."), 1);
  }
  {
    trel_xml_file_reader &r = reader_on("<v>" + huge + "</v><n>3</n>");
    int n = 0;
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    ASSERT_EQ(r.read_data(value, sizeof value), 1);
    EXPECT_EQ(std::string(value), huge.substr(0, sizeof value - 1));
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    ASSERT_EQ(r.read_data(&n), 1);
    EXPECT_EQ(n, 3);
  }
  {
    trel_xml_file_reader &r = reader_on("<" + huge + ">");
    std::vector<char> big(5000);
    ASSERT_EQ(r.read_tag(big.data(), static_cast<int>(big.size())), 1);
    EXPECT_EQ(std::string(big.data()), huge.substr(0, big.size() - 1));
    EXPECT_EQ(std::string(r.get_current_tag()), huge.substr(0, 999));
    EXPECT_EQ(r.skip_data(), 0) << "the file ends inside the element";
  }
  {
    trel_xml_file_reader &r = reader_on("<" + huge);
    std::vector<char> big(5000);
    EXPECT_EQ(r.read_tag(big.data(), static_cast<int>(big.size())), 0);
    EXPECT_EQ(log_count("got EOF before trailing bracket."), 2);
  }
}

} // namespace
