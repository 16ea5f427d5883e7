// Writes the state dump: one JSON object of named fields, arrays and
// records. The frame writes its own fields; the game adds its own.
#pragma once

#include <cstdint>
#include <cstdio>

class DumpWriter {
 public:
  explicit DumpWriter(FILE* out);
  // Closes the outermost object; true when everything was written.
  bool Finish();

  void Field(const char* name, long long value);
  void Field(const char* name, int value) { Field(name, static_cast<long long>(value)); }
  void Field(const char* name, uint32_t value) { Field(name, static_cast<long long>(value)); }
  void Field(const char* name, double value);
  void Field(const char* name, const char* text);
  void FieldArray(const char* name, const int* values, int count);

  // Nested arrays and objects: Begin... with a name inside an object,
  // without one inside an array.
  void BeginArray(const char* name = nullptr);
  void EndArray();
  void BeginObject(const char* name = nullptr);
  void EndObject();
  void Value(long long value);
  void Value(double value);

 private:
  void Separator(const char* name);
  void String(const char* text);

  FILE* out_;
  int depth_ = 0;
  bool first_[32] = {};
  bool ok_ = true;
};
