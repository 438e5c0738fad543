# Makes the game folders of the folder tests (names in the readings, the
# usage index, search across files):
#
#   ruby tests/data/make_game_fixtures.rb        (from the repository root)
#
# game/ruby18 and game/ruby3 hold the same small game, with strings as
# Ruby 1.8 wrote them (plain bytes) and as Ruby 3 writes them ('I' around
# the string, with E); game/hostile_a and game/hostile_b hold siblings that
# must only leave their names out.  The expectations of the tests are
# written by hand from what this script builds.
require_relative 'make_fixtures'

module RPG
  class System
    def initialize(switches, variables)
      @magic_number = 0
      @party_members = [1]
      @elements = [nil, '']
      @switches = switches
      @variables = variables
      @start_map_id = 1
    end
  end

  class MapInfo
    def initialize(name, parent_id, order)
      @name = name
      @parent_id = parent_id
      @order = order
      @expanded = false
      @scroll_x = 0
      @scroll_y = 0
    end
  end

  class CommonEvent
    def initialize(id, name, trigger, switch_id, list)
      @id = id
      @name = name
      @trigger = trigger
      @switch_id = switch_id
      @list = list
    end
  end

  class Troop
    class Page
      class Condition
        def initialize(actor_id: 1, switch_id: 1)
          @turn_valid = false
          @enemy_valid = false
          @actor_valid = !actor_id.nil?
          @switch_valid = !switch_id.nil?
          @turn_a = 0
          @turn_b = 0
          @enemy_index = 0
          @enemy_hp = 50
          @actor_id = actor_id || 1
          @actor_hp = 50
          @switch_id = switch_id || 1
        end
      end

      def initialize(condition, list)
        @condition = condition
        @span = 0
        @list = list
      end
    end

    def initialize(id, name, pages)
      @id = id
      @name = name
      @members = []
      @pages = pages
    end
  end

  # Classes, Skills, Items, Weapons, Armors, Enemies, States, Animations
  # and Tilesets: only their @id and @name matter here.
  %w[Class Skill Item Weapon Armor Enemy State Animation Tileset].each do |name|
    klass = ::Class.new do
      def initialize(id, name)
        @id = id
        @name = name
        @description = ''
      end
    end
    const_set(name, klass)
  end
end

def cmd(code, params, indent = 0)
  RPG::EventCommand.new(code, indent, params)
end

# A page condition with the given parts switched on.
def condition(switch1: nil, switch2: nil, variable: nil, self_switch: nil)
  c = RPG::Event::Page::Condition.new
  { switch1: switch1, switch2: switch2 }.each do |key, id|
    next unless id
    c.instance_variable_set("@#{key}_valid", true)
    c.instance_variable_set("@#{key}_id", id)
  end
  if variable
    c.instance_variable_set(:@variable_valid, true)
    c.instance_variable_set(:@variable_id, variable[0])
    c.instance_variable_set(:@variable_value, variable[1])
  end
  if self_switch
    c.instance_variable_set(:@self_switch_valid, true)
    c.instance_variable_set(:@self_switch_ch, self_switch)
  end
  c
end

def page(mk, cond, list)
  RPG::Event::Page.new(cond, RPG::Event::Page::Graphic.new(mk.s('')), RPG::MoveRoute.new([RPG::MoveCommand.new]), 0,
                       list + [cmd(0, [])])
end

def event(mk, id, name, pages)
  RPG::Event.new(id, mk.s(name), id, id, pages)
end

def map(mk, events)
  hash = {}
  events.each { |e| hash[e.instance_variable_get(:@id)] = e }
  RPG::Map.new(4, 3, Table.new(4, 3, 3), hash, RPG::AudioFile.new(mk.s('')), RPG::AudioFile.new(mk.s('')))
end

def entries(klass, mk, names)
  [nil] + names.each_with_index.map { |n, i| klass.new(i + 1, mk.s(n)) }
end

def game(mk)
  files = {}
  # Switch 2 has an empty name; switches 4 and 5 are used but not named.
  files['System.rxdata'] = RPG::System.new([nil, mk.s('升级提示开关'), mk.s(''), mk.s('门已打开')],
                                           [nil, mk.s('金币数'), mk.s('步数')])
  files['MapInfos.rxdata'] = { 1 => RPG::MapInfo.new(mk.s('世界'), 0, 1),
                               2 => RPG::MapInfo.new(mk.s('南方群岛'), 1, 2),
                               3 => RPG::MapInfo.new(mk.s('火山星'), 2, 3) }
  files['CommonEvents.rxdata'] = [nil,
                                  RPG::CommonEvent.new(1, mk.s('治疗全员'), 0, 1, [cmd(314, [0]), cmd(0, [])]),
                                  RPG::CommonEvent.new(2, mk.s('自动开门'), 2, 3, [cmd(121, [3, 3, 0]), cmd(0, [])])]
  files['Actors.rxdata'] = [nil, RPG::Actor.new(1, mk.s('阿尔西斯'), 1, mk.s('001-Fighter01'), Table.new(6, 2)),
                            RPG::Actor.new(2, mk.s(''), 1, mk.s('002-Fighter02'), Table.new(6, 2))]
  { 'Classes' => [RPG::Class, ['剑士']], 'Skills' => [RPG::Skill, ['火焰']],
    'Items' => [RPG::Item, %w[药草 解毒剂]], 'Weapons' => [RPG::Weapon, ['铜剑']],
    'Armors' => [RPG::Armor, ['皮甲']], 'Enemies' => [RPG::Enemy, ['史莱姆']],
    'States' => [RPG::State, ['中毒']], 'Animations' => [RPG::Animation, ['斩击']],
    'Tilesets' => [RPG::Tileset, ['草原']] }.each do |file, (klass, names)|
    files["#{file}.rxdata"] = entries(klass, mk, names)
  end
  files['Troops.rxdata'] = [nil, RPG::Troop.new(1, mk.s('史莱姆×2'),
                                                [RPG::Troop::Page.new(RPG::Troop::Page::Condition.new(actor_id: 1, switch_id: 2),
                                                                      [cmd(121, [1, 1, 1]), cmd(0, [])])])]
  village = [
    event(mk, 1, '村长', [page(mk, condition(switch1: 1), [
      cmd(121, [1, 1, 0]),              # list[0]  switch 1 = ON        write switch 1
      cmd(122, [2, 2, 1, 1, 1]),        # list[1]  var 2 += var 1       write variable 2, read variable 1
      cmd(111, [0, 5, 0]),              # list[2]  if switch 5 is ON    read switch 5 (no name)
      cmd(117, [1], 1),                 # list[3]  common event 1
      cmd(201, [0, 3, 10, 12, 2, 0], 1), # list[4] transfer to map 3
      cmd(412, []),                     # list[5]
      cmd(126, [1, 0, 0, 3]),           # list[6]  item 1 + 3           write item 1
      cmd(127, [1, 0, 0, 1]),           # list[7]  weapon 1 + 1         write weapon 1
      cmd(128, [1, 0, 1, 2]),           # list[8]  armor 1 + var 2      write armor 1, read variable 2
      cmd(129, [2, 0, 0]),              # list[9]  actor 2 joins        write actor 2 (empty name)
      cmd(318, [1, 0, 1]),              # list[10] actor 1 learns skill 1
      cmd(301, [1, true, false]),       # list[11] battle troop 1
      cmd(207, [2, 1]),                 # list[12] event 2 shows animation 1
      cmd(123, ['A', 0])                # list[13] self switch A = ON
    ])]),
    event(mk, 2, '宝箱', [
      page(mk, condition(self_switch: mk.s('A'), variable: [2, 5]), [
        cmd(111, [8, 2]),               # list[0]  if item 2 is held
        cmd(302, [1, 1]),               # list[1]  shop: weapon 1
        cmd(605, [2, 1])                # list[2]  shop: armor 1
      ]),
      page(mk, condition(switch2: 3), [
        cmd(121, [2, 4, 1])             # list[0]  switches 2..4 = OFF
      ])
    ])
  ]
  files['Map001.rxdata'] = map(mk, village)
  # A map with no reference but a line of text the folder search finds.
  files['Map003.rxdata'] = map(mk, [event(mk, 1, '火山口', [page(mk, condition, [cmd(101, [mk.s('升级了！')])])])])
  files
end

def write_folder(folder, files)
  dir = File.join(OUT_DIR, 'game', folder)
  FileUtils.mkdir_p(dir)
  files.each { |name, value| File.binwrite(File.join(dir, name), value.is_a?(String) ? value.b : dump(value)) }
end

# Siblings that load wrong or have another shape: each only leaves its
# names out.  Map001's commands refer to ids that are negative, zero and
# huge, and hold parameters of other types.
def hostile_a(mk)
  huge = 1_073_741_823  # the largest id Marshal writes as a fixnum
  big = 2_147_483_647    # written as a bignum
  {
    'system.RXDATA' => 'not a Marshal file',
    'MapInfos.rxdata' => { -1 => RPG::MapInfo.new(mk.s('负'), 0, 1), 0 => RPG::MapInfo.new(mk.s('零'), 0, 2),
                           huge => RPG::MapInfo.new(mk.s('巨大'), 7, 3), big => RPG::MapInfo.new(mk.s('大数'), 0, 7), 7 => RPG::MapInfo.new(12_345, huge, 4),
                           8 => RPG::MapInfo.new(mk.s('循环'), 9, 5), 9 => RPG::MapInfo.new(mk.s('环'), 8, 6) },
    'Actors.rxdata' => [nil, RPG::Actor.new(1, 5, 1, mk.s(''), Table.new(1)), mk.s('不是对象'),
                        RPG::Actor.new(3, mk.s("前\0后"), 1, mk.s(''), Table.new(1))],
    'Items.rxdata' => { 1 => 'not an array' },
    'Skills.rxdata' => Marshal.dump([nil, RPG::Skill.new(1, mk.s('截断'))])[0, 20],
    'Map001.rxdata' => map(mk, [event(mk, 1, '怪', [page(mk, condition(switch1: -3), [
      cmd(121, [-5, -5, 0]),
      cmd(121, [0, huge, 1]),
      cmd(201, [0, huge, 1, 1]),
      cmd(201, [0, 7]),
      cmd(117, ['一']),
      cmd(122, 'not an array'),
      cmd(111, [])
    ])])])
  }
end

def hostile_b(mk)
  {
    'System.rxdata' => RPG::System.new({ 1 => mk.s('散列') }, [nil, 42, mk.s('第二个')]),
    'Map001.rxdata' => map(mk, [event(mk, 1, '', [page(mk, condition, [cmd(122, [2, 2, 0, 0, 7])])])])
  }
end

def game_main
  require 'fileutils'
  write_folder('ruby18', game(StringMaker.new(true)))
  write_folder('ruby3', game(StringMaker.new(false)))
  write_folder('hostile_a', hostile_a(StringMaker.new(false)))
  write_folder('hostile_b', hostile_b(StringMaker.new(true)))
end

game_main if $PROGRAM_NAME == __FILE__
