# Makes the committed test corpus in tests/data/.
#
#   ruby tests/data/make_fixtures.rb        (from the repository root)
#
# Files named y_*, Actors.rxdata and Map001.rxdata must load; n_* files must
# fail (README.md lists what each one holds and the result it gives).  Most
# files are written by this Ruby's own Marshal.dump; the few that modern Ruby
# cannot write (Ruby 1.8 float texts, broken files) are built byte by byte.
#
# Everything here is deterministic: fixed seeds, insertion-ordered hashes, no
# clocks.  Running the script twice gives identical files.
#
# RPG Maker XP wrote its data with Ruby 1.8, whose strings carry no encoding:
# they are dumped as plain '"' values.  This Ruby wraps every string that has
# an encoding other than BINARY in 'I' with an E instance variable, so the
# "1.8 style" data below uses binary (.b) strings throughout.

OUT_DIR = File.expand_path(__dir__)

def write_file(name, bytes)
  File.binwrite(File.join(OUT_DIR, name), bytes.b)
end

def dump(obj)
  Marshal.dump(obj).b
end

# ---------------------------------------------------------------------------
# Classes and modules the corpus refers to.

module CustomModule; end
module M1; end
module M2; end

class A
  class B; end
end

class Obj
  def initialize(a = nil, b = nil)
    @a = a
    @b = b
  end
end

class Empty; end

class SelfRef
  def initialize
    @me = self
    @n = 7
  end
end

Point = Struct.new(:x, :y)

class MyString < String; end
class MyArray < Array; end
class MyHash < Hash; end
class MyRegexp < Regexp; end

# 'u': the class writes its own bytes (binary, so no 'I' around them).
class Dumped
  def _dump(_level)
    "\x01\x02\x03\x00\xFF".b
  end

  def self._load(_bytes)
    new
  end
end

# 'u' whose bytes are a UTF-8 string: Ruby wraps the user dump in 'I' with E.
class DumpedUtf8
  def _dump(_level)
    "é"
  end

  def self._load(_bytes)
    new
  end
end

# 'U': the class stands for itself by another value.
class Marshalled
  def marshal_dump
    [1, "two".b]
  end

  def marshal_load(_value); end
end

# ---------------------------------------------------------------------------
# The RPG Maker XP classes, with the instance variables that RGSS1 gives them
# in the order its initializers set them.  Table, Color and Tone are RGSS's
# own top-level classes and write themselves as user dumps.

class Table
  attr_reader :xsize, :ysize, :zsize, :data

  def initialize(xsize, ysize = 1, zsize = 1)
    @dim = zsize > 1 ? 3 : (ysize > 1 ? 2 : 1)
    @xsize = xsize
    @ysize = ysize
    @zsize = zsize
    @data = Array.new(xsize * ysize * zsize, 0)
  end

  def []=(x, y, z, v)
    @data[x + y * @xsize + z * @xsize * @ysize] = v
  end

  def _dump(_level)
    [@dim, @xsize, @ysize, @zsize, @data.size].pack('V5') + @data.pack('v*')
  end

  def self._load(bytes)
    dim, x, y, z, _size = bytes.unpack('V5')
    t = new(x, y, z)
    t.instance_variable_set(:@dim, dim)
    t.instance_variable_set(:@data, bytes[20..].unpack('v*'))
    t
  end
end

class Color
  def initialize(red, green, blue, alpha = 255.0)
    @red = red.to_f
    @green = green.to_f
    @blue = blue.to_f
    @alpha = alpha.to_f
  end

  def _dump(_level)
    [@red, @green, @blue, @alpha].pack('E4')
  end

  def self._load(bytes)
    new(*bytes.unpack('E4'))
  end
end

class Tone
  def initialize(red, green, blue, gray = 0.0)
    @red = red.to_f
    @green = green.to_f
    @blue = blue.to_f
    @gray = gray.to_f
  end

  def _dump(_level)
    [@red, @green, @blue, @gray].pack('E4')
  end

  def self._load(bytes)
    new(*bytes.unpack('E4'))
  end
end

module RPG
  class AudioFile
    def initialize(name = '', volume = 100, pitch = 100)
      @name = name
      @volume = volume
      @pitch = pitch
    end
  end

  class MoveCommand
    def initialize(code = 0, parameters = [])
      @code = code
      @parameters = parameters
    end
  end

  class MoveRoute
    def initialize(list)
      @repeat = true
      @skippable = false
      @list = list
    end
  end

  class EventCommand
    def initialize(code = 0, indent = 0, parameters = [])
      @code = code
      @indent = indent
      @parameters = parameters
    end
  end

  class Event
    class Page
      class Condition
        def initialize(switch1_id = 1, self_switch_ch = 'A')
          @switch1_valid = false
          @switch2_valid = false
          @variable_valid = false
          @self_switch_valid = false
          @switch1_id = switch1_id
          @switch2_id = 1
          @variable_id = 1
          @variable_value = 0
          @self_switch_ch = self_switch_ch
        end
      end

      class Graphic
        def initialize(character_name = '', direction = 2)
          @tile_id = 0
          @character_name = character_name
          @character_hue = 0
          @direction = direction
          @pattern = 0
          @opacity = 255
          @blend_type = 0
        end
      end

      def initialize(condition, graphic, move_route, trigger, list)
        @condition = condition
        @graphic = graphic
        @move_type = 0
        @move_speed = 3
        @move_frequency = 3
        @move_route = move_route
        @walk_anime = true
        @step_anime = false
        @direction_fix = false
        @through = false
        @always_on_top = false
        @trigger = trigger
        @list = list
      end
    end

    def initialize(id, name, x, y, pages)
      @id = id
      @name = name
      @x = x
      @y = y
      @pages = pages
    end
  end

  class Map
    def initialize(width, height, data, events, bgm, bgs)
      @tileset_id = 1
      @width = width
      @height = height
      @autoplay_bgm = false
      @bgm = bgm
      @autoplay_bgs = false
      @bgs = bgs
      @encounter_list = []
      @encounter_step = 30
      @data = data
      @events = events
    end
  end

  class Actor
    def initialize(id, name, class_id, character_name, parameters)
      @id = id
      @name = name
      @class_id = class_id
      @initial_level = 1
      @final_level = 99
      @exp_basis = 30
      @exp_inflation = 30
      @character_name = character_name
      @character_hue = 0
      @battler_name = character_name.dup
      @battler_hue = 0
      @parameters = parameters
      @weapon_id = id
      @armor1_id = 0
      @armor2_id = 0
      @armor3_id = id
      @armor4_id = 0
      @weapon_fix = false
      @armor1_fix = false
      @armor2_fix = false
      @armor3_fix = false
      @armor4_fix = false
    end
  end
end

# ---------------------------------------------------------------------------
# y_scalars.bin: every scalar kind, in a fixed order (the C++ corpus test
# indexes this array).

def scalars
  obj = Obj.new(1, nil)
  [
    nil, true, false,                                   # 0..2
    0, 1, 122, 123, -123, -124, 255, 256, -256, -257,   # 3..12
    65_535, 65_536, 2**30 - 1, -2**30,                  # 13..16
    2**30, 2**40, -2**70, 2**64,                        # 17..20: bignums ('l')
    1.5, -0.0, 1e100, Float::INFINITY,                  # 21..24
    -Float::INFINITY, Float::NAN,                       # 25..26
    1.5,                                                # 27: same flonum, written as '@' to 21
    'hello'.b, ''.b, "a\0b".b, '中文'.b,                 # 28..31: binary strings
    :foo, :bar, :foo, :foo,                             # 32..35: ':' ':' ';' ';'
    /ab+c/imx,                                          # 36: 'I' around '/'
    String, A::B,                                       # 37..38: 'c'
    Kernel, CustomModule,                               # 39..40: 'm'
    obj, obj                                            # 41..42: 'o' then '@'
  ]
end

# ---------------------------------------------------------------------------
# y_composites.bin: containers and wrappers, in a fixed order.

def composites
  default_hash = Hash.new(5)
  default_hash[1] = 2
  default_hash[3] = 4

  my_string = MyString.new('sub'.b)
  my_array = MyArray.new([1, 2])
  my_hash = MyHash.new
  my_hash[1] = 2

  extended = Obj.new(1, 2)
  extended.extend(M1)
  extended.extend(M2)

  utf8 = '中文'

  noted = 'note'.b
  noted.instance_variable_set(:@note, 1)
  noted_utf8 = 'ü'
  noted_utf8.instance_variable_set(:@note, 2)

  self_array = []
  self_array << self_array
  self_hash = {}
  self_hash['self'.b] = self_hash

  tagged_inner = [2]
  tagged = [1]
  tagged.instance_variable_set(:@tag, tagged_inner)

  [
    [1, [2, 3], []],                          # 0: nested arrays, an empty one
    { 1 => 'one'.b, :two => 2 },              # 1: '{'
    {},                                       # 2: empty '{'
    default_hash,                             # 3: '}' with two pairs, default 5
    Hash.new(7),                              # 4: empty '}', default 7
    Obj.new(1, 'x'.b),                        # 5: 'o' Obj, entries a, b
    Point.new(1, 2),                          # 6: 'S' Point, entries x, y
    my_string,                                # 7: 'C' MyString around '"'
    my_array,                                 # 8: 'C' MyArray around '['
    my_hash,                                  # 9: 'C' MyHash around '{'
    MyRegexp.new('ab'),                       # 10: 'I' around 'C' MyRegexp around '/'
    Dumped.new,                               # 11: 'u'
    Marshalled.new,                           # 12: 'U'
    extended,                                 # 13: 'e' M2 'e' M1 'o'
    utf8,                                     # 14: 'I' '"' E true
    noted,                                    # 15: 'I' '"' @note
    noted_utf8,                               # 16: 'I' '"' E true, @note
    self_array,                               # 17: '[' holding '@' to itself
    self_hash,                                # 18: '{' whose value is '@' to itself
    SelfRef.new,                              # 19: 'o' whose @me is '@' to itself
    my_string,                                # 20: '@' to the 'C' at 7
    utf8,                                     # 21: '@' to the 'I' at 14
    :'中文',                                  # 22: 'I' around ':' (E true)
    :'中文',                                  # 23: ';' to the symbol at 22
    DumpedUtf8.new,                           # 24: 'I' around 'u'
    extended,                                 # 25: '@' to the extended object at 13
    MyString.new('ü'),                        # 26: 'I' around 'C' MyString around '"'
    tagged,                                   # 27: 'I' around '[', @tag holds an array
    tagged_inner,                             # 28: '@' to the array inside 27's entry 1
    Empty.new,                                # 29: 'o' with no entries
    'é'.encode('ISO-8859-1')                  # 30: 'I' '"' with encoding: "ISO-8859-1"
  ]
end

# ---------------------------------------------------------------------------
# Floats as Ruby 1.8 wrote them: "%.17g", then, for numbers whose mantissa
# the decimal text does not carry in full, a NUL and the remaining mantissa
# bits (marshal.c's save_mantissa, 32 bits at a time, trailing zero bytes
# dropped).  Special values were "inf", "-inf", "nan", "0" and "-0".

DECIMAL_MANT = 53 - 16
MANT_BITS = 32

def ruby18_float_text(d)
  return (d.positive? ? 'inf' : '-inf').b if d.infinite?
  return 'nan'.b if d.nan?
  return (1.0 / d).negative? ? '-0'.b : '0'.b if d.zero?

  text = format('%.17g', d).b
  scaled_mantissa = Math.ldexp(Math.frexp(d.abs)[0], DECIMAL_MANT)
  frac = scaled_mantissa - scaled_mantissa.floor
  return text unless frac.positive?

  extra = "\0".b
  while frac.positive?
    scaled = Math.ldexp(frac, MANT_BITS)
    whole = scaled.floor
    frac = scaled - whole
    extra << [whole].pack('N')
  end
  extra.chop! while extra.end_with?("\0")
  text + extra
end

# Packed integer of the Marshal format.
def w_long(n)
  return "\0".b if n.zero?
  return [n + 5].pack('C') if n.positive? && n < 123
  return [(n - 5) & 0xFF].pack('C') if n.negative? && n > -124

  bytes = []
  x = n
  4.times do
    bytes << (x & 0xFF)
    x >>= 8
    break if (n >= 0 && x.zero?) || (n.negative? && x == -1)
  end
  len = n >= 0 ? bytes.size : -bytes.size
  [len & 0xFF].pack('C') + bytes.pack('C*')
end

def w_bytes(bytes)
  w_long(bytes.bytesize) + bytes.b
end

def float_record(text)
  'f'.b + w_bytes(text)
end

# The float texts of y_float_ruby18.bin, in order.
RUBY18_FLOATS = [
  "1.5\0\x00\x80".b,                 # 0: hand-made tail after the NUL
  ruby18_float_text(0.1),            # 1: "0.10000000000000001" NUL mantissa
  ruby18_float_text(-2.0 / 3.0),     # 2
  ruby18_float_text(1e100),          # 3
  ruby18_float_text(1.5),            # 4: exact: "1.5", no NUL
  ruby18_float_text(-0.0),           # 5: "-0"
  ruby18_float_text(Float::INFINITY),  # 6: "inf"
  ruby18_float_text(-Float::INFINITY), # 7: "-inf"
  ruby18_float_text(Float::NAN),     # 8: "nan"
  "2.5\x0099".b,                     # 9: digits after the NUL must not count
  "nan\0\x01".b                      # 10: "nan" then a tail: still the NaN marker
].freeze

def ruby18_floats_file
  body = RUBY18_FLOATS.map { |t| float_record(t) }.join
  "\x04\x08[".b + w_long(RUBY18_FLOATS.size) + body
end

# ---------------------------------------------------------------------------
# RPG Maker XP-like data.

ACTOR_NAMES = %w[阿尔西斯 巴吉尔 赛勒斯 多萝西 艾斯特尔 菲力克斯 格洛丽亚 希尔达].freeze
ACTOR_GRAPHICS = %w[001-Fighter01 002-Fighter02 003-Fighter03 004-Fighter04
                    010-Lancer02 013-Warrior01 019-Thief04 029-Cleric05].freeze

MESSAGES = [
  '你好，旅行者。', '这里是阿里夫村。', '东边的洞窟里住着怪物……', '要小心啊！',
  '欢迎光临！', '今天的天气真好。', '\\N[1]：我们出发吧。', '宝箱里有 100 金币。',
  'The door is locked.', '得到了\\C[2]钥匙\\C[0]！', '……', '谢谢你救了我们！'
].freeze

CHOICES = [%w[是 否], %w[买 卖 离开], %w[休息 不用了]].freeze

# Converts every string of a freshly built RPG structure: binary for the
# Ruby 1.8 files, UTF-8 for the Ruby 3 one.
class StringMaker
  def initialize(ruby18)
    @ruby18 = ruby18
  end

  def s(text)
    t = +text.dup
    @ruby18 ? t.force_encoding('BINARY') : t.force_encoding('UTF-8')
  end
end

def make_actors(mk)
  rng = Random.new(1001)
  actors = [nil]
  ACTOR_NAMES.each_with_index do |name, i|
    params = Table.new(6, 100)
    6.times do |kind|
      base = 300 + rng.rand(300)
      100.times { |level| params[kind, level, 0] = [base + level * (kind.zero? ? 50 : 5), 9999].min }
    end
    actors << RPG::Actor.new(i + 1, mk.s(name), (i % 8) + 1, mk.s(ACTOR_GRAPHICS[i]), params)
  end
  actors
end

def make_move_route(rng)
  list = Array.new(1 + rng.rand(4)) do
    case rng.rand(4)
    when 0 then RPG::MoveCommand.new(1 + rng.rand(4), [])
    when 1 then RPG::MoveCommand.new(15, [10 + rng.rand(30)])  # wait
    when 2 then RPG::MoveCommand.new(29, [3 + rng.rand(3)])    # change speed
    else RPG::MoveCommand.new(14, [rng.rand(5) - 2, rng.rand(5) - 2])  # jump
    end
  end
  list << RPG::MoveCommand.new(0, [])
  RPG::MoveRoute.new(list)
end

def make_command_list(rng, mk)
  list = []
  (1 + rng.rand(6)).times do
    case rng.rand(9)
    when 0, 1
      list << RPG::EventCommand.new(101, 0, [mk.s(MESSAGES[rng.rand(MESSAGES.size)])])
      list << RPG::EventCommand.new(401, 0, [mk.s(MESSAGES[rng.rand(MESSAGES.size)])])
    when 2
      choices = CHOICES[rng.rand(CHOICES.size)]
      list << RPG::EventCommand.new(102, 0, [choices.map { |c| mk.s(c) }, choices.size])
      choices.each_with_index do |c, i|
        list << RPG::EventCommand.new(402, 0, [i, mk.s(c)])
        list << RPG::EventCommand.new(101, 1, [mk.s(MESSAGES[rng.rand(MESSAGES.size)])])
        list << RPG::EventCommand.new(0, 1, [])
      end
      list << RPG::EventCommand.new(404, 0, [])
    when 3
      list << RPG::EventCommand.new(121, 0, [1 + rng.rand(20), 1 + rng.rand(20), rng.rand(2)])
      list << RPG::EventCommand.new(122, 0, [1, 1, 0, 0, rng.rand(1000) - 500])
    when 4
      list << RPG::EventCommand.new(209, 0, [-1, make_move_route(rng)])
      list << RPG::EventCommand.new(509, 0, [RPG::MoveCommand.new(1, [])])
    when 5
      list << RPG::EventCommand.new(241, 0, [RPG::AudioFile.new(mk.s('003-Battle03'), 100, 100)])
      list << RPG::EventCommand.new(250, 0, [RPG::AudioFile.new(mk.s('002-System02'), 80, 100 + rng.rand(50))])
    when 6
      list << RPG::EventCommand.new(223, 0, [Tone.new(-68, -68, 0, 68), 20])
      list << RPG::EventCommand.new(224, 0, [Color.new(255, 255, 255, 170), 10])
    when 7
      list << RPG::EventCommand.new(201, 0, [0, 2, rng.rand(20), rng.rand(15), 2, 0])
    else
      list << RPG::EventCommand.new(355, 0, [mk.s("$game_party.gain_gold(#{rng.rand(1000)})")])
    end
  end
  list << RPG::EventCommand.new(0, 0, [])
  list
end

def make_map(mk, seed:, width:, height:, events:)
  rng = Random.new(seed)
  tiles = Table.new(width, height, 3)
  height.times do |y|
    width.times do |x|
      tiles[x, y, 0] = 384 + rng.rand(48)
      tiles[x, y, 1] = rng.rand(10).zero? ? 400 + rng.rand(100) : 0
    end
  end
  event_hash = {}
  (1..events).each do |id|
    pages = Array.new(1 + rng.rand(3)) do |p|
      condition = RPG::Event::Page::Condition.new(1 + rng.rand(10), mk.s(%w[A B C D][p]))
      graphic = RPG::Event::Page::Graphic.new(mk.s(rng.rand(3).zero? ? '' : ACTOR_GRAPHICS[rng.rand(8)]),
                                              2 * (1 + rng.rand(4)))
      RPG::Event::Page.new(condition, graphic, make_move_route(rng), rng.rand(3), make_command_list(rng, mk))
    end
    event_hash[id] = RPG::Event.new(id, mk.s(format('EV%03d', id)), rng.rand(width), rng.rand(height), pages)
  end
  RPG::Map.new(width, height, tiles, event_hash,
                RPG::AudioFile.new(mk.s('001-Town01')), RPG::AudioFile.new(mk.s(''), 80))
end

# Every string reachable from obj must have the wanted encoding.
def check_strings(obj, encoding, seen = {})
  return if seen[obj.object_id]

  seen[obj.object_id] = true
  case obj
  when String
    raise "string #{obj.inspect} is #{obj.encoding}, wanted #{encoding}" unless obj.encoding == encoding
  when Array
    obj.each { |v| check_strings(v, encoding, seen) }
  when Hash
    obj.each { |k, v| check_strings(k, encoding, seen); check_strings(v, encoding, seen) }
  else
    obj.instance_variables.each { |iv| check_strings(obj.instance_variable_get(iv), encoding, seen) }
  end
end

# ---------------------------------------------------------------------------
# Broken files, byte by byte.

def broken_files
  truncated = dump(['hello world'.b, 1])
  truncated = truncated[0, truncated.index('world')]
  {
    'n_empty.bin' => ''.b,
    'n_version49.bin' => "\x04\x09\x30".b,
    # ["hello wo...: the string claims 11 bytes, the file ends after 6.
    'n_truncated_string.bin' => truncated,
    # [nil, @2]: only the array itself (object 0) has been numbered.
    'n_bad_object_link.bin' => "\x04\x08[\x07\x30@\x07".b,
    # [:a, ;1]: only symbol 0 exists.
    'n_bad_symbol_link.bin' => "\x04\x08[\x07:\x06a;\x06".b,
    # [1, 'M' ...]: the old module type is not read.
    'n_unknown_type.bin' => "\x04\x08[\x07i\x06M\x06A".b,
    # An array claiming 2**30 elements, with a few nils after it.
    'n_huge_count.bin' => "\x04\x08[\x04\x00\x00\x00\x40".b + ('0' * 22).b,
    # A good first dump, then 04 08 and a string cut short.
    'n_second_dump_truncated.bin' => dump([1, 'first'.b]) + "\x04\x08\"\x0Aab".b
  }
end

# ---------------------------------------------------------------------------

def main
  write_file('y_scalars.bin', dump(scalars))
  write_file('y_composites.bin', dump(composites))

  x = [1]
  write_file('y_two_dumps.bin',
             dump(['first'.b, :sym, x, x]) + dump([:sym, [2], x, x]))

  self_array = []
  self_array << self_array
  write_file('y_three_dumps.bin', dump(self_array) + dump(42) + dump('third'.b))

  # One dump followed by a stray byte, which is not the start of a dump.
  write_file('y_trailing_byte.bin', dump([1, 2]) + "\x00".b)

  write_file('y_float_ruby18.bin', ruby18_floats_file)

  ruby18 = StringMaker.new(true)
  actors = make_actors(ruby18)
  check_strings(actors, Encoding::BINARY)
  write_file('Actors.rxdata', dump(actors))

  map = make_map(ruby18, seed: 2024, width: 20, height: 15, events: 20)
  check_strings(map, Encoding::BINARY)
  write_file('Map001.rxdata', dump(map))

  map3 = make_map(StringMaker.new(false), seed: 7, width: 8, height: 6, events: 3)
  check_strings(map3, Encoding::UTF_8)
  write_file('y_map_ruby3.rxdata', dump(map3))

  write_file('y_encoded_names.bin', dump(encoded_names))

  broken_files.each { |name, bytes| write_file(name, bytes) }
end

# Names that are not ASCII (constants must still begin with a capital
# letter): Ruby 1.9 and later write them as 'I' around the
# symbol with E (UTF-8) or an encoding name (here Shift_JIS), in class-name
# and entry-name positions as well as among the values.
class Chest宝箱
  def initialize
    @名前 = '金币'
    @数量 = 3
  end
end
Place位置 = Struct.new(:横, :縦)

def encoded_names
  sjis = '名前'.encode('Shift_JIS').to_sym
  [Chest宝箱.new, Chest宝箱.new, Place位置.new(1, 2), :符号, sjis]
end

main if $PROGRAM_NAME == __FILE__
