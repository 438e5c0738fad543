# Times Ruby's own Marshal.load on a file, for comparison with our loader.
#
#   ruby bench/ruby_load.rb FILE [RUNS]
#
# Prints, one "key value" per line:
#   ruby_load_seconds   median wall time of Marshal.load(File.binread(FILE))
#   ruby_runs           number of timed runs (default 3)
#   ruby_peak_rss_kb    the process's peak resident set (VmHWM)
#
# Classes the file names (RPG::Map, Table, ...) need not exist here: an
# untimed first load defines an empty stand-in for each one it meets, with
# _load and marshal_load so user dumps and user marshals load too.

module StandIn
  def self.included(klass)
    klass.extend(ClassMethods)
  end

  module ClassMethods
    def _load(bytes)
      obj = allocate
      obj.instance_variable_set(:@bytes, bytes)
      obj
    end
  end

  def marshal_load(value)
    @value = value
  end
end

def define_stand_in(path)
  scope = Object
  path.split('::').each do |name|
    scope = if scope.const_defined?(name, false)
              scope.const_get(name, false)
            else
              klass = Class.new
              klass.include(StandIn)
              scope.const_set(name, klass)
            end
  end
end

def load_defining_classes(bytes)
  Marshal.load(bytes)
rescue ArgumentError => e
  missing = e.message[/undefined class\/module (\S+)/, 1]
  raise unless missing

  define_stand_in(missing.delete_suffix('::'))
  retry
end

if ARGV.empty? || ARGV.size > 2
  warn 'usage: ruby bench/ruby_load.rb FILE [RUNS]'
  exit 2
end
file = ARGV[0]
runs = (ARGV[1] || 3).to_i
raise 'RUNS must be at least 1' if runs < 1

load_defining_classes(File.binread(file))
GC.start

times = Array.new(runs) do
  started = Process.clock_gettime(Process::CLOCK_MONOTONIC)
  value = Marshal.load(File.binread(file))
  elapsed = Process.clock_gettime(Process::CLOCK_MONOTONIC) - started
  value = nil
  GC.start
  elapsed
end

peak_kb = File.read('/proc/self/status')[/^VmHWM:\s+(\d+)\s+kB/, 1].to_i
puts format('ruby_load_seconds %.6f', times.sort[runs / 2])
puts "ruby_runs #{runs}"
puts "ruby_peak_rss_kb #{peak_kb}"
