# Makes the test files for the readings of RPG Maker XP data (scripts,
# tables, colours, event commands):
#
#   ruby tests/data/make_lens_fixtures.rb        (from the repository root)
#
# It uses the RPG Maker classes of make_fixtures.rb.  Deterministic: Zlib
# output depends only on the input and level, and there are no clocks.
require 'zlib'
require_relative 'make_fixtures'

# A Table whose bytes can be given outright, for headers that lie.
class Table
  attr_writer :raw

  alias plain_dump _dump
  def _dump(level)
    @raw || plain_dump(level)
  end
end

# Color and Tone with their components kept as given (Infinity, NaN, huge).
class Color
  def self.raw(*c)
    allocate.tap { |o| o.instance_variable_set(:@bytes, c.pack('E4')) }
  end

  alias plain_dump _dump
  def _dump(level)
    @bytes || plain_dump(level)
  end
end

SCRIPT_MAIN = <<~RUBY.gsub("\n", "\r\n")
  # 游戏开始时的处理
  class Scene_Title
    def main
      $data_system = load_data("Data/System.rxdata")  # 读取系统数据
      @sprite = Sprite.new
      @sprite.bitmap = RPG::Cache.title($data_system.title_name)
    end
  end
RUBY

SCRIPT_PARTY = <<~RUBY
  # 队伍的金钱
  class Game_Party
    attr_reader :gold
    def gain_gold(n)
      @gold = [[@gold + n, 0].max, 9999999].min
    end
  end
RUBY

def deflate(text)
  Zlib::Deflate.deflate(text.b, Zlib::BEST_COMPRESSION)
end

def scripts(mk)
  party = deflate(SCRIPT_PARTY)
  [
    [10_001, mk.s('Scene_Title 标题'), deflate(SCRIPT_MAIN)],
    [10_002, mk.s('Game_Party'), party],
    [10_003, mk.s('空'), deflate('')],
    # A byte in the middle of the compressed blocks flipped.
    [10_004, mk.s('损坏'), party.dup.tap { |s| s.setbyte(8, s.getbyte(8) ^ 0xFF) }],
    [10_005, mk.s('截断'), party[0, party.size / 2]],
    # 'x' then '^' is a valid zlib header by chance.
    [10_006, mk.s('像压缩数据'), 'x^ 只是文字'.b],
    # 64 MB and one byte of zeros: past every limit of the reading.
    [10_007, mk.s('炸弹'), deflate("\0" * ((64 << 20) + 1))],
    [10_008, mk.s('多余字节'), deflate("p 1\n") + 'xyz'.b]
  ]
end

def tables
  one = Table.new(4)
  4.times { |i| one[i, 0, 0] = i * 100 - 1 }
  two = Table.new(3, 2)
  3.times { |x| 2.times { |y| two[x, y, 0] = 10 * y + x } }
  three = Table.new(2, 2, 3)
  2.times { |x| 2.times { |y| 3.times { |z| three[x, y, z] = z * 1000 + y * 10 + x - 32_768 * (z == 2 ? 1 : 0) } } }
  short_bytes = Table.new(2, 2).tap { |t| t.raw = [2, 2, 2, 1, 4].pack('V5') + [1, 2].pack('v*') }
  bad_count = Table.new(2, 2).tap { |t| t.raw = [2, 2, 2, 1, 5].pack('V5') + [1, 2, 3, 4, 5].pack('v*') }
  bad_dims = Table.new(1).tap { |t| t.raw = [7, 1, 1, 1, 1].pack('V5') + [1].pack('v') }
  huge = Table.new(1).tap { |t| t.raw = [3, 0x7fffffff, 0x7fffffff, 0x7fffffff, 1].pack('V5') + [1].pack('v') }
  tiny = Table.new(1).tap { |t| t.raw = "\x01\x00".b }
  [one, two, three, short_bytes, bad_count, bad_dims, huge, tiny]
end

def colors
  [Color.new(255, 128, 0, 255), Tone.new(-34, 0, 68, 170), Color.raw(-1e300, 1e300, Float::INFINITY, Float::NAN),
   Tone.new(-255.5, 0.25, 1e-7, 300), Color.new(0, 0, 0).tap { |c| c.instance_variable_set(:@bytes, 'short'.b) }]
end

def cmd(code, indent, *params)
  RPG::EventCommand.new(code, indent, params)
end

def every_command(mk)
  audio = RPG::AudioFile.new(mk.s('001-Battle01'), 90, 110)
  [
    cmd(101, 0, mk.s('你好，旅行者。')), cmd(401, 0, mk.s('欢迎来到村庄。')),
    cmd(102, 0, [mk.s('是'), mk.s('否')], 2),
    cmd(402, 0, 0, mk.s('是')), cmd(106, 1, 20), cmd(0, 1),
    cmd(402, 0, 1, mk.s('否')), cmd(0, 1), cmd(403, 0), cmd(0, 1), cmd(404, 0),
    cmd(103, 0, 5, 3), cmd(108, 0, mk.s('这是注释')), cmd(408, 0, mk.s('注释第二行')),
    cmd(111, 0, 0, 3, 0), cmd(111, 1, 1, 2, 0, 10, 1), cmd(111, 2, 2, mk.s('A'), 1), cmd(111, 3, 7, 500, 0),
    cmd(111, 4, 12, mk.s('$game_party.gold > 0')), cmd(0, 5), cmd(412, 4), cmd(0, 4), cmd(412, 3), cmd(0, 3),
    cmd(412, 2), cmd(0, 2), cmd(411, 1), cmd(0, 2), cmd(412, 1), cmd(0, 1), cmd(412, 0),
    cmd(112, 0), cmd(113, 1), cmd(0, 1), cmd(413, 0), cmd(115, 0), cmd(116, 0), cmd(117, 0, 3),
    cmd(118, 0, mk.s('开始')), cmd(119, 0, mk.s('开始')),
    cmd(121, 0, 1, 1, 0), cmd(121, 0, 2, 4, 1),
    cmd(122, 0, 1, 1, 0, 0, 100), cmd(122, 0, 2, 3, 1, 1, 7), cmd(122, 0, 4, 4, 0, 2, 1, 6),
    cmd(123, 0, mk.s('B'), 0), cmd(124, 0, 0, 90), cmd(124, 0, 1),
    cmd(125, 0, 0, 0, 1000), cmd(126, 0, 1, 1, 1, 8), cmd(127, 0, 2, 0, 0, 1), cmd(128, 0, 3, 0, 0, 2),
    cmd(129, 0, 4, 0, 1),
    cmd(201, 0, 0, 2, 10, 7, 2, 0), cmd(201, 0, 1, 11, 12, 13, 0, 1), cmd(202, 0, 3, 0, 5, 6, 2),
    cmd(207, 0, -1, 15), cmd(209, 0, 0, RPG::MoveRoute.new([RPG::MoveCommand.new(1), RPG::MoveCommand.new(0)])),
    cmd(509, 0, RPG::MoveCommand.new(1)),
    cmd(221, 0), cmd(222, 0, mk.s('004-Blind04')), cmd(223, 0, Tone.new(-68, -68, 0, 68), 20),
    cmd(224, 0, Color.new(255, 255, 255, 170), 10), cmd(225, 0, 5, 5, 20),
    cmd(231, 0, 1, mk.s('标题'), 0, 0, 320, 240, 100, 100, 255, 0), cmd(232, 0, 1, 40, 0, 0, 0, 0, 100, 100, 0, 0),
    cmd(233, 0, 1, 10), cmd(234, 0, 1, Tone.new(0, 0, 0, 255), 20), cmd(235, 0, 1), cmd(236, 0, 1, 5, 40),
    cmd(241, 0, audio), cmd(242, 0, 3), cmd(245, 0, audio), cmd(246, 0, 2), cmd(247, 0), cmd(248, 0),
    cmd(249, 0, audio), cmd(250, 0, audio), cmd(251, 0),
    cmd(301, 0, 7, true, false), cmd(601, 0), cmd(0, 1), cmd(602, 0), cmd(0, 1), cmd(603, 0), cmd(0, 1), cmd(604, 0),
    cmd(302, 0, 0, 1), cmd(605, 0, 1, 4), cmd(303, 0, 1, 8),
    cmd(311, 0, 0, 1, 0, 50, false), cmd(312, 0, 1, 0, 1, 3), cmd(313, 0, 2, 0, 3), cmd(314, 0, 0),
    cmd(315, 0, 1, 0, 0, 100), cmd(316, 0, 1, 0, 0, 1), cmd(317, 0, 1, 2, 0, 0, 5), cmd(318, 0, 1, 0, 7),
    cmd(319, 0, 1, 0, 3), cmd(320, 0, 1, mk.s('阿尔西斯')), cmd(321, 0, 1, 2), cmd(322, 0, 1, mk.s('001-Fighter01'), 0, mk.s(''), 0),
    cmd(331, 0, 0, 1, 0, 10), cmd(332, 0, 0, 0, 0, 5), cmd(333, 0, 0, 0, 1), cmd(334, 0, 0), cmd(335, 0, 1),
    cmd(336, 0, 1, 2), cmd(337, 0, 0, 0, 1), cmd(338, 0, 0, 0, 0, 100), cmd(339, 0, 0, 0, 0, 0, 1, 0), cmd(340, 0),
    cmd(351, 0), cmd(352, 0), cmd(353, 0), cmd(354, 0),
    cmd(355, 0, mk.s('$game_system.se_play($data_system.decision_se)')), cmd(655, 0, mk.s('p :done')),
    cmd(0, 0)
  ]
end

# Codes without a name, indentation far too deep, and parameters of types
# no command has.
def hostile_commands(mk)
  [
    cmd(999, 0, 1, mk.s('x')), cmd(-5, 0), cmd(7, 0, nil),
    cmd(101, 100_000, mk.s('深')), cmd(101, -3, mk.s('负')), cmd(101, 45, mk.s('四十五')),
    RPG::EventCommand.new(mk.s('101'), mk.s('0'), [mk.s('代码是字符串')]),
    RPG::EventCommand.new(101, 0, nil), RPG::EventCommand.new(101, 0, 42), RPG::EventCommand.new(102, 0, { 1 => 2 }),
    cmd(101, 0, 12_345), cmd(111, 0, 99, [1, [2, [3, [4, [5]]]]]), cmd(111, 0), cmd(122, 0, mk.s('a'), nil, 9, 9),
    cmd(201, 0, 1, nil, 2**40), cmd(241, 0, 3.5), cmd(509, 0, 1), cmd(402, 0), cmd(223, 0, Color.new(1, 2, 3), :sym)
  ]
end

def page(list)
  RPG::Event::Page.new(RPG::Event::Page::Condition.new, RPG::Event::Page::Graphic.new, RPG::MoveRoute.new([]), 0, list)
end

def events(mk)
  [page(every_command(mk)), page(hostile_commands(mk))]
end

def lens_main
  ruby18 = StringMaker.new(true)
  ruby3 = StringMaker.new(false)
  write_file('Scripts.rxdata', dump(scripts(ruby18)))
  write_file('y_lens_tables.bin', dump(tables))
  write_file('y_lens_colors.bin', dump(colors))
  write_file('y_lens_events.rxdata', dump(events(ruby18)))
  write_file('y_lens_ruby3.rxdata', dump([scripts(ruby3).first(3), events(ruby3).first]))

  # Two versions of one small file, for the diff through the dump.
  [['a', 'gain_gold(n)', 20], ['b', 'gain_gold(amount)', 30]].each do |version, name, wait|
    code = deflate(SCRIPT_PARTY.sub('gain_gold(n)', name))
    list = [cmd(101, 0, ruby18.s('早上好')), cmd(106, 0, wait), cmd(0, 0)]
    write_file("y_lens_diff_#{version}.rxdata", dump([[[1, ruby18.s('Game_Party'), code]], page(list)]))
  end
end

lens_main if $PROGRAM_NAME == __FILE__
