// A qemu-user plugin that counts the instructions the emulated program
// executes and prints the count when it exits (with -d plugin), for
// comparing the scanning paths of a processor this machine only emulates.
// Debian's qemu-user takes plugins but ships neither them nor their
// header; the few declarations below are those of qemu's plugin interface,
// version 1 (qemu 7). Built and used by bench/qemu-counts.sh.
#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" {
typedef uint64_t qemu_plugin_id_t;
struct qemu_plugin_tb;
struct qemu_info_t;
enum qemu_plugin_op { QEMU_PLUGIN_INLINE_ADD_U64 };
typedef void (*qemu_plugin_vcpu_tb_trans_cb_t)(qemu_plugin_id_t id, qemu_plugin_tb *tb);
typedef void (*qemu_plugin_udata_cb_t)(qemu_plugin_id_t id, void *userdata);

size_t qemu_plugin_tb_n_insns(const qemu_plugin_tb *tb);
void qemu_plugin_register_vcpu_tb_exec_inline(qemu_plugin_tb *tb, qemu_plugin_op op, void *ptr, uint64_t imm);
void qemu_plugin_register_vcpu_tb_trans_cb(qemu_plugin_id_t id, qemu_plugin_vcpu_tb_trans_cb_t cb);
void qemu_plugin_register_atexit_cb(qemu_plugin_id_t id, qemu_plugin_udata_cb_t cb, void *userdata);
void qemu_plugin_outs(const char *string);

__attribute__((visibility("default"))) extern const int qemu_plugin_version;
const int qemu_plugin_version = 1;
}

// Added to by the code qemu generates; one emulated thread at a time counts
// exactly (quillbay-measure --threads=1).
static uint64_t s_instructions;

// Each block of translated code adds its number of instructions whenever
// it runs.
static void OnTranslation(qemu_plugin_id_t, qemu_plugin_tb *block)
{
    qemu_plugin_register_vcpu_tb_exec_inline(block, QEMU_PLUGIN_INLINE_ADD_U64, &s_instructions,
                                             qemu_plugin_tb_n_insns(block));
}

static void OnExit(qemu_plugin_id_t, void *)
{
    char line[64];
    snprintf(line, sizeof line, "\ninstructions: %llu\n", static_cast<unsigned long long>(s_instructions));
    qemu_plugin_outs(line);
}

extern "C" __attribute__((visibility("default"))) int qemu_plugin_install(qemu_plugin_id_t id, const qemu_info_t *,
                                                                          int, char **)
{
    qemu_plugin_register_vcpu_tb_trans_cb(id, OnTranslation);
    qemu_plugin_register_atexit_cb(id, OnExit, nullptr);
    return 0;
}
