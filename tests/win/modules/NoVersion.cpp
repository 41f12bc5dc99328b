// A program without a version record.
int main()
{
    return 0;
}
