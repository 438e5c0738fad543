# Makes the pairs of files the comparison is tested on, in tests/data/diff/:
#
#   ruby tests/data/make_diff_fixtures.rb        (from the repository root)
#
# Each pair is an old and a new version with known edits; every pair is
# written in both string styles (ruby18/: binary strings as RPG Maker XP
# wrote them; ruby3/: UTF-8 strings wrapped in 'I').  Deterministic.
require 'fileutils'
require 'zlib'
require_relative 'make_fixtures'

module RPG
  class Item
    def initialize(id, name, description, price)
      @id = id
      @name = name
      @icon_name = ''
      @description = description
      @price = price
    end
  end

  class Map
    attr_accessor :events, :data
  end

  class Event
    attr_accessor :x, :y, :pages
    class Page
      attr_accessor :list
    end
  end
end

def cmd(code, indent, *parameters)
  RPG::EventCommand.new(code, indent, parameters)
end

def page(mk, lines)
  RPG::Event::Page.new(RPG::Event::Page::Condition.new, RPG::Event::Page::Graphic.new(mk.s('')),
                       RPG::MoveRoute.new([RPG::MoveCommand.new]), 0, lines)
end

# The village head's page: six commands, the editor's last one empty.
def head_lines(mk)
  [cmd(101, 0, mk.s('早上好')), cmd(401, 0, mk.s('今天的天气真好。')), cmd(121, 0, 5, 5, 0),
   cmd(102, 0, [mk.s('是'), mk.s('否')], 2), cmd(106, 0, 20), cmd(0, 0)]
end

def map(mk, edited)
  tiles = Table.new(4, 3, 2)
  4.times { |x| 3.times { |y| 2.times { |z| tiles[x, y, z] = 100 * z + 10 * y + x } } }
  head = RPG::Event.new(1, mk.s('村长'), 3, 4, [page(mk, head_lines(mk))])
  guard = RPG::Event.new(2, mk.s('卫兵'), 7, 1, [page(mk, [cmd(101, 0, mk.s('站住！')), cmd(0, 0)])])
  gone = RPG::Event.new(4, mk.s('旅人'), 1, 1, [page(mk, [cmd(101, 0, mk.s('再见。')), cmd(0, 0)])])
  events = { 1 => head, 2 => guard, 4 => gone }
  if edited
    # One command inserted at line 3, one text changed, the guard moved,
    # an event added and one removed, two tiles of layer 1 changed; the
    # events hash written in another order, as the editor does.
    head.pages[0].list.insert(2, cmd(106, 0, 40))
    head.pages[0].list[0] = cmd(101, 0, mk.s('早上好啊'))
    guard.x = 8
    guard.y = 2
    shop = RPG::Event.new(3, mk.s('商人'), 5, 5, [page(mk, [cmd(101, 0, mk.s('欢迎光临！')), cmd(0, 0)])])
    events = { 3 => shop, 2 => guard, 1 => head }
    tiles[1, 2, 1] = 777
    tiles[3, 0, 1] = -1
  end
  RPG::Map.new(4, 3, tiles, events, RPG::AudioFile.new(mk.s('Town')), RPG::AudioFile.new(mk.s('')))
end

# The same map with its instance variables written in another order and
# its events hash reordered: the same values.
def map_reordered(mk)
  m = map(mk, false)
  vars = m.instance_variables.reverse.map { |v| [v, m.instance_variable_get(v)] }
  vars.each { |v, _| m.remove_instance_variable(v) }
  vars.each { |v, value| m.instance_variable_set(v, value) }
  m.events = m.events.to_a.reverse.to_h
  m
end

def items(mk, edited)
  list = [nil, RPG::Item.new(1, mk.s('药水'), mk.s('恢复 100 点体力。'), 50),
          RPG::Item.new(2, mk.s('高级药水'), mk.s('恢复 500 点体力。'), 150)]
  if edited
    list[2] = RPG::Item.new(2, mk.s('超级药水'), mk.s('恢复 500 点体力。'), 150)
    list << RPG::Item.new(3, mk.s('解毒草'), mk.s('解除中毒。'), 30)
  end
  list
end

SCRIPT = "class Game_Party\n  def gain_gold(n)\n    @gold = [[@gold + n, 0].max, 9999999].min\n  end\nend\n".freeze

def scripts(mk, edited)
  source = edited ? SCRIPT.sub('9999999', '99999999') : SCRIPT
  [[1, mk.s('Game_Party'), Zlib::Deflate.deflate(source.b, Zlib::BEST_COMPRESSION)]]
end

# Scalars the comparison reads by value: a colour, a string with a NUL,
# a float, a symbol; and a list too far apart to match within the bound.
def values(mk, edited)
  [Color.new(255, 128, 0, edited ? 128 : 255), mk.s(edited ? "a\0c" : "a\0b"), 1.5, :same,
   Array.new(2100) { |i| edited ? -i - 1 : i }]
end

def write_pair(dir, name, old, new)
  File.binwrite(File.join(dir, "#{name}_old.rxdata"), Marshal.dump(old))
  File.binwrite(File.join(dir, "#{name}_new.rxdata"), Marshal.dump(new))
end

def main
  { 'ruby18' => true, 'ruby3' => false }.each do |style, ruby18|
    mk = StringMaker.new(ruby18)
    dir = File.join(OUT_DIR, 'diff', style)
    FileUtils.mkdir_p(dir)
    write_pair(dir, 'map', map(mk, false), map(mk, true))
    write_pair(dir, 'reordered', map(mk, false), map_reordered(mk))
    write_pair(dir, 'items', items(mk, false), items(mk, true))
    write_pair(dir, 'scripts', scripts(mk, false), scripts(mk, true))
    write_pair(dir, 'values', values(mk, false), values(mk, true))
  end
  # Two Data folders: Map001 edited, Items the same bytes, System only in
  # the old one, MapInfos only in the new one, Map002 named in another case.
  mk = StringMaker.new(true)
  %w[old new].each do |side|
    dir = File.join(OUT_DIR, 'diff', "folder_#{side}")
    FileUtils.rm_rf(dir)
    FileUtils.mkdir_p(dir)
    File.binwrite(File.join(dir, 'Map001.rxdata'), Marshal.dump(map(mk, side == 'new')))
    File.binwrite(File.join(dir, side == 'old' ? 'Map002.rxdata' : 'MAP002.rxdata'), Marshal.dump(map(mk, false)))
    File.binwrite(File.join(dir, 'Items.rxdata'), Marshal.dump(items(mk, false)))
    File.binwrite(File.join(dir, side == 'old' ? 'System.rxdata' : 'MapInfos.rxdata'), Marshal.dump({}))
  end
  # A map whose switch command turns from switch 3 to switch 1, beside the
  # game's System (switch 1 升级提示开关, switch 3 门已打开): the readings name them.
  dir = File.join(OUT_DIR, 'diff', 'names')
  FileUtils.rm_rf(dir)
  FileUtils.mkdir_p(dir)
  FileUtils.cp(File.join(OUT_DIR, 'game', 'ruby18', 'System.rxdata'), dir)
  switched = [3, 1].map do |switch|
    m = map(mk, false)
    m.events[1].pages[0].list[2] = cmd(121, 0, switch, switch, 0)
    m
  end
  write_pair(dir, 'map', *switched)
end

main if $PROGRAM_NAME == __FILE__
