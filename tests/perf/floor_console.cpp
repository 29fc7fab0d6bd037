// The floor of KavrinReport.exe's start-up: a console program that prints nothing.
int main()
{
    return 0;
}
