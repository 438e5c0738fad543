// The helpers of the corpus suites: loading a file of tests/data and
// reaching into what it decoded to, without touching memory that a failed
// check would make invalid.
#pragma once

#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>
#include "marshal/alloc.h"
#include "marshal/load.h"
#include "marshal/node.h"
#include "present/viewer_document.h"

namespace corpus {


// Stands in for a child or entry that is not there, so that a failed check
// is reported and the test goes on without touching memory it should not.
inline const MarshalNode kMissingNode{};
inline const MarshalAttr kMissingEntry{};

inline std::string DataPath(const std::string& name) { return std::string(QUARNIX_TEST_DATA) + "/" + name; }

inline std::string Text(const char* p) { return p ? std::string(p) : std::string("(none)"); }

inline const MarshalNode* Child(const MarshalNode* n, std::int64_t i) {
    if (i < 0 || i >= ChildCount(n)) {
        ADD_FAILURE() << "no child " << i << " in a node of type '" << static_cast<char>(n->type) << "' with "
                      << ChildCount(n) << " children";
        return &kMissingNode;
    }
    return ChildAt(n, i);
}

inline const MarshalAttr* Entry(const MarshalNode* n, std::int32_t i) {
    if (!IsEntryListType(n->type) || !n->data.attrs || i < 0 || i >= n->count) {
        ADD_FAILURE() << "no entry " << i << " in a node of type '" << static_cast<char>(n->type) << "'";
        return &kMissingEntry;
    }
    return &n->data.attrs[i];
}

// The value of the entry with this name.
inline const MarshalNode* Field(const MarshalNode* n, const char* name) {
    if (IsEntryListType(n->type) && n->data.attrs)
        for (std::int32_t i = 0; i < n->count; ++i)
            if (n->data.attrs[i].name && std::strcmp(n->data.attrs[i].name, name) == 0) return &n->data.attrs[i].value;
    ADD_FAILURE() << "no entry " << name << " in a node of type '" << static_cast<char>(n->type) << "' named "
                  << Text(n->name);
    return &kMissingNode;
}

// The stored bytes of a string, bignum or user dump.
inline std::string Bytes(const MarshalNode* n) {
    if (!n->data.bytes || n->count <= 0) return {};
    return std::string(n->data.bytes, static_cast<std::size_t>(n->count));
}

inline std::int32_t Int(const MarshalNode* n) {
    EXPECT_EQ(n->type, 'i');
    return n->type == 'i' ? FixnumValue(n) : INT32_MIN;
}

// The text of a string, whether plain or wrapped in 'I' (Ruby 3 style).
inline std::string StringText(const MarshalNode* n) {
    if (n->type == 'I') n = &Entry(n, 0)->value;
    EXPECT_EQ(n->type, '"');
    return n->type == '"' ? Bytes(n) : std::string();
}

// Type counts over a whole document (links are not followed), with 'o' and
// 'u' counted by class name and RPG::EventCommand by code as well.
struct Census {
    std::map<char, long> types;
    std::map<std::string, long> classes;
    std::map<int, long> commandCodes;
};

inline Census Count(const MarshalNode* root) {
    Census c;
    std::vector<const MarshalNode*> stack{root};
    while (!stack.empty()) {
        const MarshalNode* n = stack.back();
        stack.pop_back();
        c.types[static_cast<char>(n->type)]++;
        if (n->type == 'o' || n->type == 'u') c.classes[Text(n->name)]++;
        if (n->type == 'o' && Text(n->name) == "RPG::EventCommand") c.commandCodes[Int(Field(n, "code"))]++;
        for (std::int64_t i = ChildCount(n); i-- > 0;) stack.push_back(ChildAt(n, i));
    }
    return c;
}

class Corpus : public ::testing::Test {
protected:
    void SetUp() override { live_ = LiveAllocationCount(); }
    void TearDown() override { ReleaseAndCheck(); }

    void ReleaseAndCheck() {
        ReleaseNode(&DocumentRoot);
        EXPECT_EQ(LiveAllocationCount(), live_) << "blocks left after releasing the document";
    }

    static int Load(const std::string& name) {
        std::FILE* f = std::fopen(DataPath(name).c_str(), "rb");
        if (!f) {
            ADD_FAILURE() << "cannot open " << DataPath(name);
            return -1;
        }
        return LoadDocument(f);
    }

    // Loads a file that must succeed with `dumps` top-level values, and
    // returns the first (or kMissingNode).
    static const MarshalNode* LoadOk(const std::string& name, std::int32_t dumps = 1) {
        int rc = Load(name);
        EXPECT_EQ(rc, kLoadOk) << name;
        EXPECT_EQ(DocumentRoot.type, '[');
        EXPECT_EQ(DocumentRoot.count, dumps) << name;
        if (rc != kLoadOk || DocumentRoot.count < 1) return &kMissingNode;
        return &DocumentRoot.data.nodes[0];
    }

    long live_ = 0;
};


}  // namespace corpus
