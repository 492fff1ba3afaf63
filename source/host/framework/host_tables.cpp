#include "host_tables.h"

#include "module_record.h"
#include "source_file.h"

#define KWANTEL_DEFINE_TABLE(name) const framework::HostTableType<HOST_TABLE_##name>::Type *t_C4DOS_##name = nullptr;
HOST_TABLE_LIST(KWANTEL_DEFINE_TABLE)
#undef KWANTEL_DEFINE_TABLE

namespace framework {

const HostRecord *g_hostRecord = nullptr;

namespace {

// "t_C4DOS_Ge && t_C4DOS_Sh && ... && t_C4DOS_FL", built from the same list as
// the globals so the two cannot drift apart.
#define KWANTEL_TABLE_CONDITION(name) "t_C4DOS_" #name " && "
constexpr char kJoinedWithTail[] = "Assertion failed: " HOST_TABLE_LIST(KWANTEL_TABLE_CONDITION);
#undef KWANTEL_TABLE_CONDITION

constexpr size_t kTailLength = sizeof(" && ") - 1;

struct AssertionText {
  char text[sizeof(kJoinedWithTail) - kTailLength];
};

constexpr AssertionText MakeAssertionText() {
  AssertionText result{};
  for (size_t i = 0; i + 1 < sizeof(result.text); ++i) {
    result.text[i] = kJoinedWithTail[i];
  }
  return result;
}

constexpr AssertionText kNullTableAssertion = MakeAssertionText();

template <int index>
const typename HostTableType<index>::Type *TableAt(const HostRecord *record) {
  if (record == nullptr) {
    return nullptr;
  }
  return static_cast<const typename HostTableType<index>::Type *>(record->tables[index]);
}

}  // namespace

const char *NullTableAssertionText() {
  return kNullTableAssertion.text;
}

}  // namespace framework

int32_t BindHost(const HostRecord *record) {
  framework::g_hostRecord = record;
#define KWANTEL_BIND_TABLE(name) t_C4DOS_##name = framework::TableAt<HOST_TABLE_##name>(record);
  HOST_TABLE_LIST(KWANTEL_BIND_TABLE)
#undef KWANTEL_BIND_TABLE

#define KWANTEL_TABLE_PRESENT(name) t_C4DOS_##name != nullptr &&
  const bool allPresent = HOST_TABLE_LIST(KWANTEL_TABLE_PRESENT) true;
#undef KWANTEL_TABLE_PRESENT
  if (!allPresent) {
    const KernelInterface *kernel = framework::Kernel();
    if (kernel != nullptr) {
      kernel->assertion(framework::NullTableAssertionText(), KWANTEL_SOURCE_FILE, __LINE__);
    }
  }
  return record != nullptr ? record->version : 0;
}
