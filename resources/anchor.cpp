// The resource library's own translation unit: its contents are the embedded
// files that qt_add_resources attaches to the target.
namespace quintelle::resources {
int anchor = 0;
}
