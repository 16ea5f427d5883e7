#include "frame/ox_dump_writer.h"

#include <cmath>

DumpWriter::DumpWriter(FILE* out) : out_(out) {
  fputc('{', out_);
  depth_ = 1;
  first_[1] = true;
}

bool DumpWriter::Finish() {
  while (depth_ > 1) EndObject();
  fputs("\n}\n", out_);
  depth_ = 0;
  return ok_ && !ferror(out_);
}

void DumpWriter::Separator(const char* name) {
  if (!first_[depth_]) fputc(',', out_);
  first_[depth_] = false;
  fputc('\n', out_);
  for (int i = 0; i < depth_; ++i) fputs("  ", out_);
  if (name) {
    String(name);
    fputs(": ", out_);
  }
}

void DumpWriter::String(const char* text) {
  fputc('"', out_);
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (*p == '"' || *p == '\\') fprintf(out_, "\\%c", *p);
    else if (*p < 0x20) fprintf(out_, "\\u%04x", *p);
    else fputc(*p, out_);
  }
  fputc('"', out_);
}

void DumpWriter::Field(const char* name, long long value) {
  Separator(name);
  fprintf(out_, "%lld", value);
}

void DumpWriter::Field(const char* name, double value) {
  Separator(name);
  if (std::isfinite(value)) fprintf(out_, "%.9g", value);
  else fputs("null", out_);
}

void DumpWriter::Field(const char* name, const char* text) {
  Separator(name);
  String(text ? text : "");
}

void DumpWriter::FieldArray(const char* name, const int* values, int count) {
  Separator(name);
  fputc('[', out_);
  for (int i = 0; i < count; ++i) fprintf(out_, i ? ", %d" : "%d", values[i]);
  fputc(']', out_);
}

void DumpWriter::BeginArray(const char* name) {
  Separator(name);
  fputc('[', out_);
  if (depth_ + 1 < 32) first_[++depth_] = true;
  else ok_ = false;
}

void DumpWriter::EndArray() {
  if (depth_ <= 1) return;
  --depth_;
  fputc(']', out_);
}

void DumpWriter::BeginObject(const char* name) {
  Separator(name);
  fputc('{', out_);
  if (depth_ + 1 < 32) first_[++depth_] = true;
  else ok_ = false;
}

void DumpWriter::EndObject() {
  if (depth_ <= 1) return;
  --depth_;
  fputc('}', out_);
}

void DumpWriter::Value(long long value) {
  Separator(nullptr);
  fprintf(out_, "%lld", value);
}

void DumpWriter::Value(double value) {
  Separator(nullptr);
  if (std::isfinite(value)) fprintf(out_, "%.9g", value);
  else fputs("null", out_);
}
