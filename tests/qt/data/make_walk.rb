# Writes walk.rxdata, the file the Qt front end's navigation test walks
# through.  Run from the repository root: ruby tests/qt/data/make_walk.rb
#
# One dump, an array whose elements 3 and 4 repeat objects met before, so
# Marshal writes them as object links:
#   data0    = [1, inner, "a", <link to "shared">, <link to inner>]
#   data0[1] = inner = [2, 3, "shared"]
shared = "shared".b   # binary strings: plain '"' values, no encoding wrapper
inner = [2, 3, shared]
File.binwrite(File.join(__dir__, "walk.rxdata"), Marshal.dump([1, inner, "a".b, shared, inner]))
