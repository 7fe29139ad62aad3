// quillbay-line-early: the earlier build of the line-mode program, whose
// entry returns at once, status 0, without reading any command.
int main()
{
    return 0;
}
